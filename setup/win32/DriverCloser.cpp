// Asks the board driver on this desktop to end, and waits for it, before the
// package replaces or removes the driver's files.
//
// The package runs it as the installing user, so the driver window it finds
// is that user's: the drivers of other sessions are on other desktops, out of
// its reach, and their files are left to Windows Installer. It asks with
// WM_CLOSE to the driver's hidden dialog, which the driver answers by ending
// cleanly, and never ends a driver by force: on its way out the driver lets
// go of a held button and tells the drawing application that it is gone.
//
// Usage: DriverCloser.exe [/wait:MILLISECONDS]   (15000 when not given)
// Exit code: 0 when no driver is left on the desktop (also when none ran),
// 1 when a driver was still there when the time was up, 2 for a bad
// command line.
#include "common/Messages.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <memory>
#include <type_traits>

namespace {

enum ExitCode : int { kNoDriverLeft = 0, kDriverStayed = 1, kBadCommandLine = 2 };

constexpr DWORD kDefaultWaitMs = 15000;
constexpr DWORD kWindowPollMs = 50;

struct HandleCloser {
    void operator()(HANDLE handle) const
    {
        if (handle) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// The whole command line after the program's name: nothing, or "/wait:N".
bool ParseCommandLine(const wchar_t* text, DWORD& waitMs)
{
    while (std::iswspace(*text)) ++text;
    if (*text == L'\0') return true;
    static const wchar_t kWait[] = L"/wait:";
    const size_t prefix = sizeof(kWait) / sizeof(kWait[0]) - 1;
    if (_wcsnicmp(text, kWait, prefix) != 0) return false;
    const wchar_t* digits = text + prefix;
    if (!std::iswdigit(*digits)) return false;
    wchar_t* end = nullptr;
    const unsigned long value = std::wcstoul(digits, &end, 10);
    while (std::iswspace(*end)) ++end;
    if (*end != L'\0' || value > 600000) return false;
    waitMs = static_cast<DWORD>(value);
    return true;
}

DWORD RemainingMs(ULONGLONG deadline)
{
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

// Posts WM_CLOSE to one driver window and waits until its process has ended.
// When the process cannot be opened, the window's going is taken instead.
bool CloseAndWait(HWND driver, ULONGLONG deadline)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(driver, &processId);
    UniqueHandle process(processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr);
    if (!PostMessageW(driver, WM_CLOSE, 0, 0)) return !IsWindow(driver);
    if (process) return WaitForSingleObject(process.get(), RemainingMs(deadline)) == WAIT_OBJECT_0;
    while (IsWindow(driver)) {
        if (RemainingMs(deadline) == 0) return false;
        Sleep(kWindowPollMs);
    }
    return true;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    DWORD waitMs = kDefaultWaitMs;
    if (!ParseCommandLine(commandLine ? commandLine : L"", waitMs)) return kBadCommandLine;

    // One driver runs per session; the loop also covers one that a user
    // started again while the first was ending.
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (;;) {
        HWND driver = FindWindowA(wnd::kDriverClass, wnd::kDriverCaption);
        if (!driver) return kNoDriverLeft;
        if (RemainingMs(deadline) == 0 || !CloseAndWait(driver, deadline)) return kDriverStayed;
    }
}
