#pragma once
// A thread that reads the camera, for the live view and for the
// calibration's frames. A camera's filter may never come back from a frame
// call, so stopping is bounded: Stop waits at most kStopWait and answers
// false when the thread is stuck there; the thread and everything its loop
// uses must then live until the process ends.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace camview {

class CameraThread {
public:
    // A cycle of either loop takes a frame and a few milliseconds of work; a
    // thread that needs a whole second to stop is stuck in the filter.
    static constexpr auto kStopWait = std::chrono::milliseconds(1000);

    CameraThread() = default;
    CameraThread(const CameraThread&) = delete;
    CameraThread& operator=(const CameraThread&) = delete;
    // Only ever destroyed stopped; should one not be, its thread is let go
    // rather than the program ended.
    ~CameraThread()
    {
        if (!Stop()) thread_.detach();
    }

    // Runs `loop` on a thread of its own, in a multithreaded COM apartment;
    // the loop returns once Running() turns false. Nothing when running.
    void Start(std::function<void()> loop);
    // Asks the loop to end and waits for it, at most kStopWait; safe to call
    // again. False when the thread is still running.
    bool Stop();

    bool Running() const { return running_.load() == 1; }
    // 1 while the loop should go on: for a frame call that can be cut short.
    const std::atomic<int>& RunningFlag() const { return running_; }
    // Waits `pause`, less when Stop is asked meanwhile.
    void Pause(std::chrono::milliseconds pause);

private:
    std::atomic<int> running_{0};
    std::mutex lock_;
    std::condition_variable wake_;
    bool done_ = false; // under lock_: the thread's last act
    std::thread thread_;
};

} // namespace camview
