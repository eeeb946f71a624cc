#pragma once
// The drawing thread: takes the latest frame, turns it when asked, paints
// the alignment marks into it and draws it at 640 x 480 into the dialog.
#include "CameraThread.h"
#include "CaptureGraph.h"

#include <windows.h>

#include <atomic>

namespace camview {

class LiveView {
public:
    static constexpr auto kStopWait = CameraThread::kStopWait;

    LiveView(HWND dialog, FrameSource& frames, const std::atomic<int>& imageTurned)
        : dialog_(dialog),
          frames_(frames),
          imageTurned_(imageTurned)
    {}
    LiveView(const LiveView&) = delete;
    LiveView& operator=(const LiveView&) = delete;

    void Start();
    // Asks the thread to leave its loop and waits for it, at most kStopWait;
    // safe to call repeatedly. False when it is still running then (its
    // frame source does not return): it is left running, and the caller
    // must keep this view, the frame source and the turn flag alive until
    // the process ends.
    bool Stop() { return thread_.Stop(); }

private:
    void Run();
    void Draw(CapturedFrame& frame);

    HWND dialog_;
    FrameSource& frames_;
    const std::atomic<int>& imageTurned_;
    CameraThread thread_; // last: stopped before the rest goes
};

} // namespace camview
