#pragma once
// Finding the windows of other programs as a user would meet them, and
// reading what they show.
#include <windows.h>

#include <functional>
#include <string>

namespace sim {

// Null class or caption means "any", as for FindWindow.
HWND WaitForWindow(const char* className, const char* caption, unsigned timeoutMs);
// For captions outside the system code page.
HWND WaitForWindow(const wchar_t* className, const wchar_t* caption, unsigned timeoutMs);
bool WaitForWindowGone(const char* className, const char* caption, unsigned timeoutMs);

// The first top-level window of process `processId` that `matches`; null
// when there is none.
HWND FindProcessWindow(unsigned long processId, const std::function<bool(HWND)>& matches);
HWND WaitForProcessWindow(unsigned long processId, const std::function<bool(HWND)>& matches, unsigned timeoutMs);
// A dialog window (class "#32770") that is shown.
bool IsShownDialog(HWND window);

// Until the window's thread answers a sent message: a dialog's start-up is over.
bool WaitForAnswer(HWND window, unsigned timeoutMs);

// The text of a window, also of another program's; empty when it does not answer.
std::wstring WindowText(HWND window);

} // namespace sim
