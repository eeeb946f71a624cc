#pragma once
// Adds to the drawing application stand-in's log, for every WM_DEVICECHANGE
// that carries a device-interface record, the line
// `device <wParam> <interface name>`: evidence of what a device-change
// notice carried when it reached a window of another process.
#include <windows.h>

#include <string>

namespace sim {

// Subclasses `window` for as long as it lives; false when that fails.
bool LogDeviceChanges(HWND window, const std::string& logPath);

} // namespace sim
