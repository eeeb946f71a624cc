#pragma once
// What only the PC itself can tell a support ticket: the Windows version,
// every monitor with its scale factor, and the window in front (injected
// input does not reach a window that runs elevated while the driver does
// not).
#include "boardcheck/CheckPage.h"

namespace boardcheck {

SystemFacts GatherSystemFacts();

} // namespace boardcheck
