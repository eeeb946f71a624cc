#include "TimerCallbackGuard.h"

#include <atomic>

namespace brelvin {
namespace {

// The hook procedure has no context of its own; one guard at a time names
// where its notes go.
std::atomic<driver::FaultLog*> guardFaults{nullptr};
std::atomic<unsigned> dropped{0};

bool IsPowerOfTen(unsigned n)
{
    while (n >= 10 && n % 10 == 0) n /= 10;
    return n == 1;
}

} // namespace

bool CarriesTimerCallback(const MSG& message)
{
    return (message.message == WM_TIMER || message.message == kSystemTimerMessage) && message.lParam != 0;
}

TimerCallbackGuard::TimerCallbackGuard(driver::FaultLog& faults)
{
    guardFaults = &faults;
    hook_.Reset(SetWindowsHookExA(WH_GETMESSAGE, &TimerCallbackGuard::OnGetMessage, nullptr, GetCurrentThreadId()));
    if (!hook_) faults.Note("Could not guard the driver's message loop against forged timer messages.");
}

TimerCallbackGuard::~TimerCallbackGuard()
{
    hook_.Reset();
    guardFaults = nullptr;
}

LRESULT CALLBACK TimerCallbackGuard::OnGetMessage(int code, WPARAM removal, LPARAM message)
{
    if (code == HC_ACTION && message != 0) {
        MSG& seen = *reinterpret_cast<MSG*>(message);
        if (CarriesTimerCallback(seen)) {
            seen.message = WM_NULL;
            seen.wParam = 0;
            seen.lParam = 0;
            const unsigned count = ++dropped;
            driver::FaultLog* faults = guardFaults;
            if (faults && IsPowerOfTen(count)) {
                faults->NoteF("Dropped a timer message carrying a callback address, posted by another program "
                              "(%u so far).",
                              count);
            }
        }
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

} // namespace brelvin
