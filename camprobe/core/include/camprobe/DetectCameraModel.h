#pragma once
// Which supported camera is attached, decided from the instance IDs of the
// present imaging devices. The device list itself is behind an interface so
// that the rule can be exercised without hardware.
#include <cstddef>

namespace camprobe {

// Room for one device-instance ID, terminator included: the platform's
// longest instance ID.
inline constexpr std::size_t kDeviceIdChars = 200;

// What became of reading one device of the list.
enum class DeviceRead {
    End,        // no device at this position: the enumeration is over
    Unreadable, // a device is there but its instance ID could not be read
    Read,       // the instance ID is in the buffer
};

class ImageDeviceList {
public:
    virtual ~ImageDeviceList() = default;
    // Reads the instance ID of the device at `index` (0, 1, 2, ... in turn)
    // into `id`, NUL-terminated within kDeviceIdChars.
    virtual DeviceRead ReadDevice(unsigned index, char (&id)[kDeviceIdChars]) = 0;
};

// Index of the supported model among the devices, or kNoCameraModel. When
// several supported cameras are present, the one enumerated last decides;
// within one ID the earliest table entry wins. The comparison is
// case-sensitive and the entry may stand anywhere in the ID.
int DetectCameraModel(ImageDeviceList& devices);

// The table index found in one instance ID, or kNoCameraModel.
int ModelInDeviceId(const char* deviceId);

} // namespace camprobe
