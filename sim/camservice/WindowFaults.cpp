#include "WindowFaults.h"

namespace sim {
namespace {

// How often an awaited message is looked for.
constexpr unsigned kAwaitPollMs = 2;

[[noreturn]] void HangForEver()
{
    for (;;) Sleep(INFINITE);
}

} // namespace

void WindowFaults::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kHangWindowRequest) {
        if (lParam) HangForEver();
        Sleep(static_cast<DWORD>(wParam));
        return;
    }
    bool hang = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++received_[message];
        hang = hangOn_.count(message) != 0;
    }
    // The receipt counts first, so a player awaiting this message goes on.
    if (hang) HangForEver();
}

void WindowFaults::HangOn(unsigned message)
{
    std::lock_guard<std::mutex> lock(mutex_);
    hangOn_.insert(message);
}

void WindowFaults::HangWindow(HWND window, unsigned ms, bool forever)
{
    PostMessageA(window, kHangWindowRequest, static_cast<WPARAM>(ms), forever ? 1 : 0);
}

AwaitOutcome WindowFaults::Await(unsigned message, unsigned ms, const std::atomic<bool>& stop)
{
    const ULONGLONG deadline = GetTickCount64() + ms;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (received_[message] > awaited_[message]) {
                ++awaited_[message];
                return AwaitOutcome::Received;
            }
        }
        if (stop) return AwaitOutcome::Stopped;
        if (GetTickCount64() >= deadline) return AwaitOutcome::TimedOut;
        Sleep(kAwaitPollMs);
    }
}

} // namespace sim
