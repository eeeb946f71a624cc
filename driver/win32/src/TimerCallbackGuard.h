#pragma once
// Keeps other programs from running code in the driver through its message
// loops. The system's dispatch takes a WM_TIMER (or the system's own timer
// message) whose lParam is not zero as the address of a timer callback and
// calls it; recent Windows checks the address, Wine does not. Any program
// can post such a message, and the driver sets no timer callbacks, so while
// a guard is in place every such message met by the thread's loops (the
// dialog's, and those of message boxes nested in it) is turned into
// WM_NULL before it can be dispatched.
#include "common/UniqueHandle.h"
#include "driver/FaultLog.h"

#include <windows.h>

namespace brelvin {

// The system's own timer message; not in the public headers.
inline constexpr UINT kSystemTimerMessage = 0x0118;

// True for a timer message that names a callback.
bool CarriesTimerCallback(const MSG& message);

class TimerCallbackGuard {
public:
    // Guards the calling thread's loops; `faults` hears of the messages
    // dropped (the first, then every tenfold count).
    explicit TimerCallbackGuard(driver::FaultLog& faults);
    ~TimerCallbackGuard();
    TimerCallbackGuard(const TimerCallbackGuard&) = delete;
    TimerCallbackGuard& operator=(const TimerCallbackGuard&) = delete;

    bool Active() const { return static_cast<bool>(hook_); }

private:
    static LRESULT CALLBACK OnGetMessage(int code, WPARAM removal, LPARAM message);

    common::UniqueHook hook_;
};

} // namespace brelvin
