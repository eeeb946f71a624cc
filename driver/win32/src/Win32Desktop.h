#pragma once
// The system as the driver's core sees it, over the Win32 API.
#include "driver/Desktop.h"
#include "driver/FaultLog.h"

#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>

namespace brelvin {

// Posted to the driver window when the worker has asked for timers: the
// requests themselves wait inside the process (a window's timers belong to
// the thread that owns the window, and the worker is not that thread). The
// message carries nothing, so another program posting it only makes the
// window look at an empty list.
inline constexpr UINT kDriverTimerRequest = WM_APP + 0x210;

class Win32Desktop final : public driver::Desktop {
public:
    // How long a message sent to another program may take to be answered;
    // a program that hangs is given up on at once.
    static constexpr UINT kSendTimeoutMs = 1000;

    explicit Win32Desktop(driver::FaultLog& faults)
        : faults_(faults)
    {}

    void AttachDriverWindow(HWND window) { driverWindow_ = window; }

    driver::WindowRef FindWindowByClass(const char* windowClass, const char* caption) override;
    void PostToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t SendToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
    void InjectMouseEvent(std::uint32_t flags, int ax, int ay) override;
    void SetCursorPosition(int x, int y) override;
    driver::ScreenPosition CursorPosition() override;
    driver::WindowRef ForegroundWindow() override;
    driver::ScreenSize PrimaryScreenSize() override;
    common::DisplayLayout Monitors() override;
    void StartDriverTimer(unsigned timerId, unsigned periodMs) override;
    void KillDriverTimer(unsigned timerId) override;
    std::string ProgramFolder() override;
    bool ProgramExists(const std::string& folder, const std::string& program) override;
    // Starts the program by its full path in `folder`; a program missing
    // there starts nothing (the shell would look elsewhere) and is noted.
    void OpenProgram(const std::string& folder, const std::string& program) override;
    void SleepMs(unsigned milliseconds) override;
    std::uint32_t TickCount() override;

    // Window thread only. Carries out the timer requests the worker left,
    // and tells whether a timer is one the driver has armed and not killed:
    // a tick of any other id was posted by somebody else.
    void ApplyTimerRequests();
    bool TimerArmed(UINT_PTR timerId) const;

private:
    // Timers the worker may ask for, with the periods it uses.
    static bool IsWorkerTimerRequest(unsigned timerId, unsigned periodMs);
    void SetWindowTimer(HWND window, unsigned timerId, unsigned periodMs);
    void KillWindowTimer(HWND window, unsigned timerId);

    // A timer the worker asked for: its period counts from the request (the
    // press it times), not from the moment the window thread gets to it.
    struct TimerRequest {
        unsigned periodMs = 0;
        DWORD requestedAt = 0;
    };

    driver::FaultLog& faults_;
    std::atomic<HWND> driverWindow_{nullptr};
    std::mutex requestsMutex_;
    std::map<unsigned, TimerRequest> requests_; // by timer id
    std::set<UINT_PTR> armed_;                  // window thread only
};

} // namespace brelvin
