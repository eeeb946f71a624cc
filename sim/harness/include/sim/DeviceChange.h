#pragma once
// Capture-device arrivals and removals for a machine without cameras: the
// device-interface record the system would send, delivered to a window with
// SendMessageA. Wine carries the record across processes for WM_DEVICECHANGE
// arrival and removal notices, so the receiving window procedure reads it as
// it would read the system's.
#include "testsupport/CameraDeviceNames.h"

#include <windows.h>

#include <cstddef>
#include <string>

namespace sim {

enum class DeviceChange { Arrival, RemoveComplete };

// The interface name the system reports for the driver's listed camera
// `entry` (0..3), a whole USB device or a composite device's camera function:
// "\\?\USB#VID_FA01&PID_0B0A#6&2a7f3c1&0&2#{65e8773d-...}\GLOBAL".
std::string ListedCameraInterfaceName(std::size_t entry, cameranames::Usb usb = cameranames::Usb::Whole);
// The same interface all in lower case, as the device-interface enumeration
// spells it, so the prefix letters too ("vid_", "pid_").
std::string LowerCasePrefixInterfaceName(std::size_t entry);
// A capture device that is not one of the listed cameras.
std::string UnlistedCameraInterfaceName();

// Sends WM_DEVICECHANGE with a device-interface record of the capture
// category carrying `name`, and returns once `window` has handled it.
// False when the window does not answer within `timeoutMs`.
bool SendDeviceChange(HWND window, DeviceChange change, const std::string& name, unsigned timeoutMs);

} // namespace sim
