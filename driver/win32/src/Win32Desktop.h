#pragma once
// The system as the driver's core sees it, over the Win32 API.
#include "driver/Desktop.h"

#include <windows.h>

#include <atomic>

namespace brelvin {

// Posted to the driver window to start (lParam > 0: the period) or kill
// (lParam 0) timer wParam on the window's own thread: a timer belongs to the
// thread that owns the window, and the worker is not that thread.
inline constexpr UINT kDriverTimerRequest = WM_APP + 0x210;

class Win32Desktop final : public driver::Desktop {
public:
    void AttachDriverWindow(HWND window) { driverWindow_ = window; }

    driver::WindowRef FindWindowByClass(const char* windowClass, const char* caption) override;
    void PostToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;
    std::intptr_t SendToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
    void InjectMouseEvent(std::uint32_t flags, int ax, int ay) override;
    void SetCursorPosition(int x, int y) override;
    driver::ScreenPosition CursorPosition() override;
    driver::WindowRef ForegroundWindow() override;
    driver::ScreenSize PrimaryScreenSize() override;
    void StartDriverTimer(unsigned timerId, unsigned periodMs) override;
    void KillDriverTimer(unsigned timerId) override;
    std::string ProgramFolder() override;
    void OpenProgram(const std::string& folder, const std::string& program) override;
    void SleepMs(unsigned milliseconds) override;
    std::uint32_t TickCount() override;

private:
    std::atomic<HWND> driverWindow_{nullptr};
};

} // namespace brelvin
