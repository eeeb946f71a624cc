#include "Win32Desktop.h"

#include "common/Win32System.h"

#include <shellapi.h>

namespace brelvin {
namespace {

HWND AsWindow(driver::WindowRef window)
{
    return reinterpret_cast<HWND>(window);
}

driver::WindowRef AsRef(HWND window)
{
    return reinterpret_cast<driver::WindowRef>(window);
}

bool OnWindowThread(HWND window)
{
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

} // namespace

driver::WindowRef Win32Desktop::FindWindowByClass(const char* windowClass, const char* caption)
{
    return AsRef(FindWindowA(windowClass, caption));
}

void Win32Desktop::PostToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam)
{
    if (window == 0) return;
    PostMessageA(AsWindow(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

std::intptr_t Win32Desktop::SendToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam)
{
    if (window == 0) return 0;
    return SendMessageA(AsWindow(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

void Win32Desktop::InjectMouseEvent(std::uint32_t flags, int ax, int ay)
{
    mouse_event(flags, static_cast<DWORD>(ax), static_cast<DWORD>(ay), 0, 0);
}

void Win32Desktop::SetCursorPosition(int x, int y)
{
    SetCursorPos(x, y);
}

driver::ScreenPosition Win32Desktop::CursorPosition()
{
    POINT at = {};
    GetCursorPos(&at);
    return {at.x, at.y};
}

driver::WindowRef Win32Desktop::ForegroundWindow()
{
    return AsRef(GetForegroundWindow());
}

driver::ScreenSize Win32Desktop::PrimaryScreenSize()
{
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void Win32Desktop::StartDriverTimer(unsigned timerId, unsigned periodMs)
{
    // Without a window a post would land in the calling thread's own queue.
    const HWND window = driverWindow_.load();
    if (!window) return;
    if (OnWindowThread(window)) {
        SetTimer(window, timerId, periodMs, nullptr);
        return;
    }
    // A zero period would read as a kill request; the system's minimum is
    // longer anyway.
    PostMessageA(window, kDriverTimerRequest, timerId, periodMs > 0 ? periodMs : 1);
}

void Win32Desktop::KillDriverTimer(unsigned timerId)
{
    const HWND window = driverWindow_.load();
    if (!window) return;
    // On the window thread the timer ends now: a tick that kills its own
    // timer and then reads its counts must not see the timer come back.
    if (OnWindowThread(window))
        KillTimer(window, timerId);
    else
        PostMessageA(window, kDriverTimerRequest, timerId, 0);
}

std::string Win32Desktop::ProgramFolder()
{
    return common::ProgramFolderA();
}

void Win32Desktop::OpenProgram(const std::string& folder, const std::string& program)
{
    ShellExecuteA(nullptr, "open", program.c_str(), "", folder.c_str(), SW_SHOW);
}

void Win32Desktop::SleepMs(unsigned milliseconds)
{
    Sleep(milliseconds);
}

std::uint32_t Win32Desktop::TickCount()
{
    return GetTickCount();
}

} // namespace brelvin
