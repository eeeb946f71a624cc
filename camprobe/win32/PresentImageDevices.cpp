#include "PresentImageDevices.h"

#include <cfgmgr32.h>

namespace camprobe {

namespace {

// GUID_DEVCLASS_IMAGE: cameras and scanners.
constexpr GUID kImageSetupClass = {0x6BDD1FC6, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};

#if !defined(_WIN64)
// The sizes the 32-bit system expects in cbSize.
static_assert(sizeof(SP_DEVINFO_DATA) == 28, "32-bit SP_DEVINFO_DATA");
static_assert(sizeof(SP_DEVINFO_LIST_DETAIL_DATA_A) == 287, "32-bit SP_DEVINFO_LIST_DETAIL_DATA_A");
#endif

} // namespace

PresentImageDevices::PresentImageDevices()
    : list_(SetupDiGetClassDevsA(&kImageSetupClass, nullptr, nullptr, DIGCF_PRESENT))
{}

PresentImageDevices::~PresentImageDevices()
{
    if (IsOpen()) SetupDiDestroyDeviceInfoList(list_);
}

DeviceRead PresentImageDevices::ReadDevice(unsigned index, char (&id)[kDeviceIdChars])
{
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    if (!IsOpen() || !SetupDiEnumDeviceInfo(list_, index, &device)) return DeviceRead::End;
    return ReadInstanceId(device, id) ? DeviceRead::Read : DeviceRead::Unreadable;
}

bool PresentImageDevices::ReadInstanceId(const SP_DEVINFO_DATA& device, char (&id)[kDeviceIdChars]) const
{
    SP_DEVINFO_LIST_DETAIL_DATA_A detail{};
    detail.cbSize = sizeof(detail);
    if (!SetupDiGetDeviceInfoListDetailA(list_, &detail)) return false;

    id[0] = '\0';
    if (CM_Get_Device_ID_ExA(device.DevInst, id, kDeviceIdChars, 0, detail.RemoteMachineHandle) != CR_SUCCESS)
        return false;
    // Some implementations of the machine-handle form report success without
    // filling the buffer; on the local machine the plain form answers the
    // same question.
    if (id[0] == '\0' && detail.RemoteMachineHandle == nullptr)
        return CM_Get_Device_IDA(device.DevInst, id, kDeviceIdChars, 0) == CR_SUCCESS && id[0] != '\0';
    return id[0] != '\0';
}

} // namespace camprobe
