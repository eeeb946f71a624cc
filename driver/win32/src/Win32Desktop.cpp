#include "Win32Desktop.h"

#include "common/Win32Monitors.h"
#include "common/Win32System.h"
#include "driver/DriverState.h"

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

void Win32Desktop::PostToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (window == 0) return;
    PostMessageA(AsWindow(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

std::intptr_t Win32Desktop::SendToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam)
{
    if (window == 0) return 0;
    DWORD_PTR answer = 0;
    // Without abort-if-hung a peer that stopped answering would stop the
    // driver's window with it: its timers, its other messages.
    if (!SendMessageTimeoutA(AsWindow(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam),
                             SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer)) {
        char windowClass[64] = "?";
        GetClassNameA(AsWindow(window), windowClass, sizeof windowClass);
        faults_.NoteF("The window of class %s did not answer message 0x%04X within %u ms; the driver went on "
                      "without its answer.",
                      windowClass, message, kSendTimeoutMs);
        return 0;
    }
    return static_cast<std::intptr_t>(answer);
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

common::DisplayLayout Win32Desktop::Monitors()
{
    return common::ReadDisplayLayout();
}

bool Win32Desktop::IsWorkerTimerRequest(unsigned timerId, unsigned periodMs)
{
    return (timerId == driver::kTimerPenAndBoardKeys || timerId == driver::kTimerSocketBoardKeys) && periodMs > 0 &&
           periodMs <= 1000;
}

void Win32Desktop::SetWindowTimer(HWND window, unsigned timerId, unsigned periodMs)
{
    if (SetTimer(window, timerId, periodMs, nullptr)) armed_.insert(timerId);
}

void Win32Desktop::KillWindowTimer(HWND window, unsigned timerId)
{
    KillTimer(window, timerId);
    armed_.erase(timerId);
}

void Win32Desktop::StartDriverTimer(unsigned timerId, unsigned periodMs)
{
    // Without a window a post would land in the calling thread's own queue.
    const HWND window = driverWindow_.load();
    if (!window) return;
    if (OnWindowThread(window)) {
        SetWindowTimer(window, timerId, periodMs);
        return;
    }
    if (!IsWorkerTimerRequest(timerId, periodMs)) return;
    {
        std::lock_guard<std::mutex> lock(requestsMutex_);
        requests_[timerId] = TimerRequest{periodMs, GetTickCount()};
    }
    PostMessageA(window, kDriverTimerRequest, 0, 0);
}

void Win32Desktop::KillDriverTimer(unsigned timerId)
{
    const HWND window = driverWindow_.load();
    // Only the window thread kills timers. On it the timer ends now: a tick
    // that kills its own timer and then reads its counts must not see the
    // timer come back.
    if (window && OnWindowThread(window)) KillWindowTimer(window, timerId);
}

// The window thread may get here late (a send to a peer that is slow to
// answer, the pause before a pen's right click): each timer is armed with
// what is left of its period, so a counting window never grows and two single
// presses are not reported as one double.
void Win32Desktop::ApplyTimerRequests()
{
    const HWND window = driverWindow_.load();
    std::map<unsigned, TimerRequest> requests;
    {
        std::lock_guard<std::mutex> lock(requestsMutex_);
        requests.swap(requests_);
    }
    if (!window) return;
    const DWORD now = GetTickCount();
    for (const auto& [timerId, request] : requests) {
        const DWORD waited = now - request.requestedAt;
        const unsigned left = waited < request.periodMs ? request.periodMs - waited : USER_TIMER_MINIMUM;
        SetWindowTimer(window, timerId, left);
    }
}

bool Win32Desktop::TimerArmed(UINT_PTR timerId) const
{
    return armed_.count(timerId) != 0;
}

std::string Win32Desktop::ProgramFolder()
{
    return common::ProgramFolderA();
}

bool Win32Desktop::ProgramExists(const std::string& folder, const std::string& program)
{
    const DWORD attributes = GetFileAttributesA((folder + program).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void Win32Desktop::OpenProgram(const std::string& folder, const std::string& program)
{
    const std::string path = folder + program;
    if (!ProgramExists(folder, program)) {
        faults_.NoteF("%s is missing from %s; it was not started.", program.c_str(), folder.c_str());
        return;
    }
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path.c_str(), "", folder.c_str(), SW_SHOW));
    if (result <= 32)
        faults_.NoteF("Could not start %s (the shell answered %d).", path.c_str(), static_cast<int>(result));
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
