#include "sim/Waiting.h"

#include "sim/LineLog.h"
#include "sim/StandInLog.h"

namespace sim {

bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs, unsigned pollMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= deadline) return condition();
        Sleep(pollMs);
    }
    return true;
}

HWND WaitForWindow(const char* className, const char* caption, unsigned timeoutMs) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowA(className, caption)) != nullptr; }, timeoutMs);
    return window;
}

bool WaitForAnswer(HWND window, unsigned timeoutMs) {
    return WaitUntil(
        [&] {
            DWORD_PTR answer = 0;
            return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 100, &answer) != 0;
        },
        timeoutMs);
}

bool WaitForWindowGone(const char* className, const char* caption, unsigned timeoutMs) {
    return WaitUntil([&] { return FindWindowA(className, caption) == nullptr; }, timeoutMs);
}

std::vector<std::string> LogLines(const std::string& path) { return CompleteLines(ReadWholeFile(path)); }

bool WaitForLogLine(const std::string& path, const std::function<bool(const std::string&)>& matches,
                    unsigned timeoutMs) {
    return WaitUntil(
        [&] {
            for (const std::string& line : LogLines(path)) {
                if (matches(line)) return true;
            }
            return false;
        },
        timeoutMs);
}

bool WaitForLogLine(const std::string& path, const std::string& line, unsigned timeoutMs) {
    return WaitForLogLine(path, [&](const std::string& candidate) { return candidate == line; }, timeoutMs);
}

std::string FindLogLine(const std::string& path, const std::string& prefix) {
    for (const std::string& line : LogLines(path)) {
        if (line.compare(0, prefix.size(), prefix) == 0) return line;
    }
    return {};
}

} // namespace sim
