#pragma once
// Capture-device arrivals and removals for a machine without cameras: the
// device-interface record the system would send, delivered to a window with
// SendMessageA. Wine carries the record across processes for WM_DEVICECHANGE
// arrival and removal notices, so the receiving window procedure reads it as
// it would read the system's.
#include <windows.h>

#include <cstddef>
#include <string>

namespace sim {

enum class DeviceChange { Arrival, RemoveComplete };

// The interface name of the driver's listed camera `entry` (0..3), its IDs
// written as the driver writes them when it matches: "VID_%4x&PID_%4x".
std::string ListedCameraInterfaceName(std::size_t entry);
// The same name with the prefix letters in lower case ("vid_", "pid_").
std::string LowerCasePrefixInterfaceName(std::size_t entry);
// A capture device that is not one of the listed cameras.
std::string UnlistedCameraInterfaceName();

// Sends WM_DEVICECHANGE with a device-interface record of the capture
// category carrying `name`, and returns once `window` has handled it.
// False when the window does not answer within `timeoutMs`.
bool SendDeviceChange(HWND window, DeviceChange change, const std::string& name, unsigned timeoutMs);

} // namespace sim
