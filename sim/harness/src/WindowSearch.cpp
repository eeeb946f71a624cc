#include "sim/WindowSearch.h"

#include "sim/Waiting.h"

#include <algorithm>

namespace sim {
namespace {

struct ProcessWindowSearch {
    DWORD processId;
    const std::function<bool(HWND)>* matches;
    HWND found;
};

BOOL CALLBACK VisitTopLevelWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<ProcessWindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !(*search->matches)(window)) return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND WaitForWindow(const char* className, const char* caption, unsigned timeoutMs)
{
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowA(className, caption)) != nullptr; }, timeoutMs);
    return window;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* caption, unsigned timeoutMs)
{
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowW(className, caption)) != nullptr; }, timeoutMs);
    return window;
}

bool WaitForWindowGone(const char* className, const char* caption, unsigned timeoutMs)
{
    return WaitUntil([&] { return FindWindowA(className, caption) == nullptr; }, timeoutMs);
}

HWND FindProcessWindow(unsigned long processId, const std::function<bool(HWND)>& matches)
{
    ProcessWindowSearch search{processId, &matches, nullptr};
    EnumWindows(&VisitTopLevelWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForProcessWindow(unsigned long processId, const std::function<bool(HWND)>& matches, unsigned timeoutMs)
{
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindProcessWindow(processId, matches)) != nullptr; }, timeoutMs);
    return window;
}

bool IsShownDialog(HWND window)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return IsWindowVisible(window) && std::wstring(className) == L"#32770";
}

bool WaitForAnswer(HWND window, unsigned timeoutMs)
{
    return WaitUntil(
        [&] {
            DWORD_PTR answer = 0;
            return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 100, &answer) != 0;
        },
        timeoutMs);
}

std::wstring WindowText(HWND window)
{
    // The whole text, however long: a support log's last lines run to a few
    // thousand characters.
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(&text[0]),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(std::min<std::size_t>(static_cast<std::size_t>(copied), length));
    return text;
}

} // namespace sim
