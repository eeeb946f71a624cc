#include "sim/Waiting.h"

#include <windows.h>

namespace sim {

bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs, unsigned pollMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= deadline) return condition();
        Sleep(pollMs);
    }
    return true;
}

} // namespace sim
