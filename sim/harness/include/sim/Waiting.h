#pragma once
// Waiting for something another process does, always with a time-out.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace sim {

// Looks at `condition` every `pollMs` until it holds (true) or `timeoutMs`
// has passed (false, after one last look).
bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs, unsigned pollMs = 5);

// Null class or caption means "any", as for FindWindowA.
HWND WaitForWindow(const char* className, const char* caption, unsigned timeoutMs);
// Until the window's thread answers a sent message: a dialog's start-up is over.
bool WaitForAnswer(HWND window, unsigned timeoutMs);
bool WaitForWindowGone(const char* className, const char* caption, unsigned timeoutMs);

// The complete lines of a log file as it is now.
std::vector<std::string> LogLines(const std::string& path);
bool WaitForLogLine(const std::string& path, const std::function<bool(const std::string&)>& matches,
                    unsigned timeoutMs);
bool WaitForLogLine(const std::string& path, const std::string& line, unsigned timeoutMs);
// The first line that starts with `prefix`; empty when there is none.
std::string FindLogLine(const std::string& path, const std::string& prefix);

} // namespace sim
