#pragma once
// The drawing thread: takes the latest frame, turns it when asked, paints
// the alignment marks into it and draws it at 640 x 480 into the dialog.
#include "CaptureGraph.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace camview {

class LiveView {
public:
    // How long Stop waits for the thread to leave its loop. A cycle takes a
    // copy of one frame and a drawing, a few milliseconds; a thread that
    // needs a whole second is stuck in the camera's filter.
    static constexpr auto kStopWait = std::chrono::milliseconds(1000);

    LiveView(HWND dialog, FrameSource& frames, const std::atomic<int>& imageTurned)
        : dialog_(dialog),
          frames_(frames),
          imageTurned_(imageTurned)
    {}
    LiveView(const LiveView&) = delete;
    LiveView& operator=(const LiveView&) = delete;
    // Only ever destroyed stopped: a view that would not stop is never
    // destroyed (see Stop); should one be, its thread is let go rather than
    // the program ended.
    ~LiveView()
    {
        if (!Stop()) thread_.detach();
    }

    void Start();
    // Asks the thread to leave its loop and waits for it, at most kStopWait;
    // safe to call repeatedly. False when it is still running then (its
    // frame source does not return): it is left running, and the caller
    // must keep this view, the frame source and the turn flag alive until
    // the process ends.
    bool Stop();

private:
    void Run();
    void Draw(CapturedFrame& frame);

    HWND dialog_;
    FrameSource& frames_;
    const std::atomic<int>& imageTurned_;
    std::atomic<int> viewRunning_{0};
    std::mutex wakeLock_;
    std::condition_variable wake_;
    // Set by the thread, under wakeLock_, as the last thing it does.
    bool threadDone_ = false;
    std::thread thread_;
};

} // namespace camview
