#pragma once
// The present devices of the Image setup class, as the detection rule reads
// them. The list is taken once and released with its owner.
#include "camprobe/DetectCameraModel.h"

#include <windows.h>
#include <setupapi.h>

namespace camprobe {

class PresentImageDevices final : public ImageDeviceList {
public:
    PresentImageDevices();
    ~PresentImageDevices() override;
    PresentImageDevices(const PresentImageDevices&) = delete;
    PresentImageDevices& operator=(const PresentImageDevices&) = delete;

    // False when the system gave no device list.
    bool IsOpen() const { return list_ != INVALID_HANDLE_VALUE; }

    DeviceRead ReadDevice(unsigned index, char (&id)[kDeviceIdChars]) override;

private:
    bool ReadInstanceId(const SP_DEVINFO_DATA& device, char (&id)[kDeviceIdChars]) const;

    HDEVINFO list_;
};

} // namespace camprobe
