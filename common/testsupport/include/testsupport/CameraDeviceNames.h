#pragma once
// Names of a USB camera as the system reports them, built from the camera
// product data, in the three forms the suite's programs read:
// - the device-interface name in a WM_DEVICECHANGE notice (the driver):
//     \\?\USB#VID_FA01&PID_0B0A#6&2a7f3c1&0&2#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\GLOBAL
// - the "DevicePath" of a video-input device (the camera view tool), the
//   same interface in lower case:
//     \\?\usb#vid_fa01&pid_0b0a#6&2a7f3c1&0&2#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\global
// - the instance ID of an Image-class device (the model-detection library):
//     USB\VID_FA01&PID_0B0A\6&2A7F3C1&0&2
// The system spells the hexadecimal digits of the IDs in upper case,
// zero-padded to four. A camera that is one function of a composite device
// carries "&MI_00" after its product ID in every form.
#include "common/CameraIds.h"

#include <cctype>
#include <cstdint>
#include <string>

namespace cameranames {

enum class Usb { Whole, CompositeFunction };

inline std::string HardwareId(std::uint16_t vendorId, std::uint16_t productId = product::kCameraProductId)
{
    return product::UpperHardwareId(vendorId, productId).data();
}

inline std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

inline std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// "VID_hhhh&PID_hhhh" and, for a composite device's function, "&MI_00".
inline std::string DevicePart(std::uint16_t vendorId, std::uint16_t productId, Usb usb)
{
    return HardwareId(vendorId, productId) + (usb == Usb::CompositeFunction ? "&MI_00" : "");
}

// The instance part the bus gives a device without a serial number.
inline std::string InstancePart(Usb usb)
{
    return usb == Usb::CompositeFunction ? "7&1b2c3d4e&0&0000" : "6&2a7f3c1&0&2";
}

inline std::string CaptureInterfaceName(std::uint16_t vendorId, std::uint16_t productId = product::kCameraProductId,
                                        Usb usb = Usb::Whole)
{
    return "\\\\?\\USB#" + DevicePart(vendorId, productId, usb) + "#" + InstancePart(usb) +
           "#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\GLOBAL";
}

inline std::string DirectShowDevicePath(std::uint16_t vendorId, std::uint16_t productId = product::kCameraProductId,
                                        Usb usb = Usb::Whole)
{
    return Lower(CaptureInterfaceName(vendorId, productId, usb));
}

inline std::string DeviceInstanceId(std::uint16_t vendorId, std::uint16_t productId = product::kCameraProductId,
                                    Usb usb = Usb::Whole)
{
    return "USB\\" + DevicePart(vendorId, productId, usb) + "\\" + Upper(InstancePart(usb));
}

// The vendor ID of product::kCameraModels[model].
inline std::uint16_t ModelVendor(int model)
{
    return product::kCameraModels[static_cast<std::size_t>(model)].vendorId;
}

// The vendor ID of the driver's list entry `entry` (0..3).
inline std::uint16_t DriverEntryVendor(std::size_t entry)
{
    return ModelVendor(product::kDriverCameraModels[entry]);
}

// A vendor ID that no camera model has, whatever IDs the build was given.
inline std::uint16_t UnlistedVendor()
{
    std::uint16_t vendorId = 0x0ACE;
    for (bool listed = true; listed;) {
        listed = false;
        for (const product::CameraModel& model : product::kCameraModels) listed = listed || model.vendorId == vendorId;
        if (listed) ++vendorId;
    }
    return vendorId;
}

} // namespace cameranames
