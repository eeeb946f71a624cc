#pragma once
// The desktop's monitors as the system reports them, and the board's
// monitor for the tools, which open centred on it.
#include "common/DisplayLayout.h"

#include <windows.h>

namespace common {

// Every monitor in this program's own pixels and in physical pixels (equal
// where the system has no per-monitor scaling to tell).
DisplayLayout ReadDisplayLayout();

// The work area of the monitor [Display] chooses, as the driver reads it (a
// policy's value, else the settings file in force when it has the key, else
// the program folder's; no per-user copy is made), or of the primary screen
// when that monitor is not there.
RECT BoardMonitorWorkArea();

// Moves `window` so that it is centred on BoardMonitorWorkArea(), kept
// within it where it fits.
void CentreOnBoardMonitor(HWND window);

} // namespace common
