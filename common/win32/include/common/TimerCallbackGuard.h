#pragma once
// Keeps other programs from running code in the suite's programs through
// their message loops. The system's dispatch takes a WM_TIMER (or the
// system's own timer message) whose lParam is not zero as the address of a
// timer callback and calls it; recent Windows checks the address, Wine does
// not. Any program can post such a message to any window, so while a guard
// is in place every such message met by the thread's loops (a dialog's, and
// those of message boxes and dialogs nested in it) is turned into WM_NULL
// before it can be dispatched.
//
// A guarded thread therefore sets no timer with a callback. The system's own
// timers on it (the caret's blink, hover tracking, the controls' timers)
// carry no callback address and go on as before.
#include "common/UniqueHandle.h"

#include <windows.h>

namespace common {

// The system's own timer message; not in the public headers.
inline constexpr UINT kSystemTimerMessage = 0x0118;

// True for a timer message that names a callback.
bool CarriesTimerCallback(const MSG& message);

// Hears of the timer messages a guard dropped: the first, then every
// tenfold count.
class DroppedTimerNotes {
public:
    virtual void TimerCallbackDropped(unsigned count) = 0;

protected:
    ~DroppedTimerNotes() = default;
};

class TimerCallbackGuard {
public:
    // Guards the calling thread until the guard goes. A guard made while the
    // thread is already guarded leaves the outer one in charge (its notes
    // included) and does nothing.
    explicit TimerCallbackGuard(DroppedTimerNotes* notes = nullptr);
    ~TimerCallbackGuard();
    TimerCallbackGuard(const TimerCallbackGuard&) = delete;
    TimerCallbackGuard& operator=(const TimerCallbackGuard&) = delete;

    // True when the thread is guarded, by this guard or an outer one.
    bool Active() const;

private:
    static LRESULT CALLBACK OnGetMessage(int code, WPARAM removal, LPARAM message);
    void Drop(MSG& message);

    DroppedTimerNotes* notes_;
    unsigned dropped_ = 0;
    UniqueHook hook_;
};

} // namespace common
