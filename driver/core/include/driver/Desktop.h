#pragma once
// The operating system as the driver's portable core sees it: peer windows,
// mouse input, the cursor, the screen, timers on the driver's own window,
// program starts and time. Brelvin.exe implements it over the Win32 API;
// tests implement it with a recording fake and a manual clock.
//
// Every member may be called from the touch worker and from the window
// thread. The system calls behind them need no lock; what an implementation
// keeps between the two threads it guards itself (Brelvin.exe's timer
// requests, which the worker makes and the window thread carries out, are
// under a mutex of their own), so no caller ever holds a lock for it.
#include "common/DisplayLayout.h"
#include "driver/Geometry.h"

#include <cstdint>
#include <string>

namespace driver {

// An opaque window handle; 0 stands for "no window".
using WindowRef = std::uintptr_t;

class Desktop {
public:
    virtual ~Desktop() = default;

    // The top-level window of `windowClass`, and of `caption` unless that is
    // null; 0 when there is none.
    virtual WindowRef FindWindowByClass(const char* windowClass, const char* caption) = 0;

    // Posting to window 0 does nothing; the result is never examined.
    virtual void PostToWindow(WindowRef window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual std::intptr_t SendToWindow(WindowRef window, unsigned message, std::uintptr_t wParam,
                                       std::intptr_t lParam) = 0;

    // One system mouse event with absolute coordinates 0..65535; wheel data
    // and extra information are 0.
    virtual void InjectMouseEvent(std::uint32_t flags, int ax, int ay) = 0;

    virtual void SetCursorPosition(int x, int y) = 0;
    virtual ScreenPosition CursorPosition() = 0;
    virtual WindowRef ForegroundWindow() = 0;
    virtual ScreenSize PrimaryScreenSize() = 0;
    // Every monitor of the desktop and the rectangle around them. A desktop
    // that knows only its primary screen has that one monitor.
    virtual common::DisplayLayout Monitors()
    {
        const ScreenSize primary = PrimaryScreenSize();
        return common::SingleMonitorLayout(primary.width, primary.height);
    }

    // Timers on the driver's window: they fire on the window thread even when
    // started from the worker. Starting a running timer restarts its period.
    virtual void StartDriverTimer(unsigned timerId, unsigned periodMs) = 0;
    virtual void KillDriverTimer(unsigned timerId) = 0;

    // The driver's own folder, with its trailing backslash.
    virtual std::string ProgramFolder() = 0;
    // Whether `folder` holds a file named `program` now.
    virtual bool ProgramExists(const std::string& folder, const std::string& program) = 0;
    // Shell verb "open" on `program` with empty parameters, `folder` as the
    // working directory, shown normally. The result is not examined.
    virtual void OpenProgram(const std::string& folder, const std::string& program) = 0;

    virtual void SleepMs(unsigned milliseconds) = 0;
    // Milliseconds since system start, wrapping at 2^32.
    virtual std::uint32_t TickCount() = 0;
};

} // namespace driver
