#pragma once
// Waiting for something another process does, always with a time-out.
#include <functional>

namespace sim {

// Looks at `condition` every `pollMs` until it holds (true) or `timeoutMs`
// has passed (false, after one last look).
bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs, unsigned pollMs = 5);

} // namespace sim
