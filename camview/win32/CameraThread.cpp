#include "CameraThread.h"

#include <objbase.h>

#include <utility>

namespace camview {

void CameraThread::Start(std::function<void()> loop)
{
    if (thread_.joinable()) return;
    running_ = 1;
    done_ = false;
    thread_ = std::thread([this, loop = std::move(loop)] {
        const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        loop();
        if (com) CoUninitialize();
        std::lock_guard<std::mutex> hold(lock_);
        done_ = true;
        wake_.notify_all();
    });
}

bool CameraThread::Stop()
{
    std::unique_lock<std::mutex> hold(lock_);
    running_ = 0;
    wake_.notify_all();
    if (!thread_.joinable()) return true;
    if (!wake_.wait_for(hold, kStopWait, [this] { return done_; })) return false;
    hold.unlock();
    thread_.join();
    return true;
}

void CameraThread::Pause(std::chrono::milliseconds pause)
{
    std::unique_lock<std::mutex> hold(lock_);
    wake_.wait_for(hold, pause, [this] { return running_.load() != 1; });
}

} // namespace camview
