#include "common/TimerCallbackGuard.h"

namespace common {
namespace {

// The hook procedure gets no context of its own: each thread's guard is
// found here. Only the guarded thread itself reads or writes its entry.
thread_local TimerCallbackGuard* threadGuard = nullptr;

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

TimerCallbackGuard::TimerCallbackGuard(DroppedTimerNotes* notes)
    : notes_(notes)
{
    if (threadGuard) return;
    hook_.Reset(SetWindowsHookExW(WH_GETMESSAGE, &TimerCallbackGuard::OnGetMessage, nullptr, GetCurrentThreadId()));
    if (hook_) threadGuard = this;
}

TimerCallbackGuard::~TimerCallbackGuard()
{
    if (threadGuard != this) return;
    hook_.Reset();
    threadGuard = nullptr;
}

bool TimerCallbackGuard::Active() const
{
    return threadGuard != nullptr;
}

void TimerCallbackGuard::Drop(MSG& message)
{
    message.message = WM_NULL;
    message.wParam = 0;
    message.lParam = 0;
    ++dropped_;
    if (!notes_ || !IsPowerOfTen(dropped_)) return;
    try {
        notes_->TimerCallbackDropped(dropped_);
    } catch (...) {
        // A note that failed is lost; nothing may unwind into the system.
    }
}

LRESULT CALLBACK TimerCallbackGuard::OnGetMessage(int code, WPARAM removal, LPARAM message)
{
    if (code == HC_ACTION && message != 0 && threadGuard) {
        MSG& seen = *reinterpret_cast<MSG*>(message);
        if (CarriesTimerCallback(seen)) threadGuard->Drop(seen);
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

} // namespace common
