#pragma once
// The drawing thread: takes the latest frame, turns it when asked, paints
// the alignment marks into it and draws it at 640 x 480 into the dialog.
#include "CaptureGraph.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace camview {

class LiveView {
public:
    LiveView(HWND dialog, CaptureGraph& graph, const std::atomic<int>& imageTurned)
        : dialog_(dialog),
          graph_(graph),
          imageTurned_(imageTurned)
    {}
    LiveView(const LiveView&) = delete;
    LiveView& operator=(const LiveView&) = delete;
    ~LiveView() { Stop(); }

    void Start();
    // Returns once the thread has left its loop; safe to call repeatedly.
    void Stop();

private:
    void Run();
    void Draw(CapturedFrame& frame);

    HWND dialog_;
    CaptureGraph& graph_;
    const std::atomic<int>& imageTurned_;
    std::atomic<int> viewRunning_{0};
    std::mutex wakeLock_;
    std::condition_variable wake_;
    std::thread thread_;
};

} // namespace camview
