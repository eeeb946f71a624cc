#pragma once
// The camera's frames on their way to the run: a thread of their own takes
// each new frame from the lent camera's graph, makes it a grey picture and
// hands it over to the window thread, the only one that touches the run.
// The window is told by a posted message that frames wait; the message
// carries nothing, so one that anybody else posts only finds the queue as
// it is.
#include "CameraThread.h"
#include "CaptureGraph.h"

#include "calibration/CameraPicture.h"

#include <windows.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <vector>

namespace kalmeno {

inline constexpr UINT kCameraFramesMessage = WM_APP + 0x121;

class CameraFrames {
public:
    // The thread waits for a frame at most kFrameWaitMs at a time, well
    // within the bounded stop.
    static constexpr unsigned kFrameWaitMs = 100;
    static constexpr auto kStopWait = camview::CameraThread::kStopWait;
    // Frames the window has not taken yet, at most; an older one is dropped
    // for a newer (the measurement copes with a frame missed, not with one
    // seen twice).
    static constexpr std::size_t kMostWaiting = 8;

    CameraFrames(HWND window, camview::CaptureGraph& graph)
        : window_(window),
          graph_(graph)
    {}
    CameraFrames(const CameraFrames&) = delete;
    CameraFrames& operator=(const CameraFrames&) = delete;

    void Start();
    // Asks the thread to end and waits for it, at most kStopWait; safe to
    // call again. False when it is still running (stuck in the camera's
    // filter): this object and the graph must then live until the process
    // ends.
    bool Stop() { return thread_.Stop(); }

    // On the window thread: the pictures that came since the last call,
    // oldest first, each once.
    std::vector<calibration::CameraPicture> Take();
    // Frames dropped because the window did not take them in time.
    unsigned long long Dropped() const { return dropped_.load(); }

private:
    void Run();
    void HandOver(calibration::CameraPicture picture);

    HWND window_;
    camview::CaptureGraph& graph_;
    std::atomic<unsigned long long> dropped_{0};

    std::mutex queueLock_;
    std::deque<calibration::CameraPicture> waiting_; // under queueLock_

    camview::CameraThread thread_; // last: stopped before the rest goes
};

} // namespace kalmeno
