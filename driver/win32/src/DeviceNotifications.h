#pragma once
// Registration of the driver window for video-capture device arrivals and
// removals. What the driver does with them is handled by OnDeviceChange.
#include <windows.h>

#include <optional>
#include <string>

namespace brelvin {

inline constexpr const char* kCaptureInterfaceClass = "65E8773D-8F56-11D0-A3B9-00A0C9223196";

// Null when the class text does not parse or the system refuses; the
// registration lives as long as the window.
HDEVNOTIFY RegisterForCaptureDevices(HWND window, const char* interfaceClass);

// The interface name that a WM_DEVICECHANGE record carries, when the record
// is a device-interface record; nothing for any other kind. The name is read
// no further than the record's own size says, so a record without its
// terminating zero cannot take the read past its end.
std::optional<std::string> DeviceInterfaceName(LPARAM record);

} // namespace brelvin
