#include "sim/DeviceChange.h"

#include <dbt.h>

#include <cstring>
#include <vector>

namespace sim {
namespace {

// KSCATEGORY_CAPTURE, the category the driver registers for.
constexpr GUID kCaptureCategory = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

} // namespace

std::string ListedCameraInterfaceName(std::size_t entry, cameranames::Usb usb)
{
    return cameranames::CaptureInterfaceName(cameranames::DriverEntryVendor(entry % 4), product::kCameraProductId, usb);
}

std::string LowerCasePrefixInterfaceName(std::size_t entry)
{
    return cameranames::Lower(ListedCameraInterfaceName(entry));
}

std::string UnlistedCameraInterfaceName()
{
    return cameranames::CaptureInterfaceName(cameranames::UnlistedVendor());
}

bool SendDeviceChange(HWND window, DeviceChange change, const std::string& name, unsigned timeoutMs)
{
    constexpr std::size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    std::vector<char> bytes(kNameOffset + name.size() + 1, '\0');
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(bytes.data());
    record->dbcc_size = static_cast<DWORD>(bytes.size());
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    record->dbcc_classguid = kCaptureCategory;
    std::memcpy(record->dbcc_name, name.c_str(), name.size() + 1);
    const WPARAM event = change == DeviceChange::Arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record), SMTO_NORMAL, timeoutMs,
                               &answer) != 0;
}

} // namespace sim
