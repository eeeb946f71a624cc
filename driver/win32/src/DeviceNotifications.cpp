#include "DeviceNotifications.h"

#include <dbt.h>
#include <rpc.h>

#include <cstddef>
#include <cstring>

namespace brelvin {

HDEVNOTIFY RegisterForCaptureDevices(HWND window, const char* interfaceClass)
{
    GUID category = {};
    if (UuidFromStringA(reinterpret_cast<RPC_CSTR>(const_cast<char*>(interfaceClass)), &category) != RPC_S_OK)
        return nullptr;

    DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = category;
    return RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

std::optional<std::string> DeviceInterfaceName(LPARAM record)
{
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(record);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return std::nullopt;
    constexpr std::size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    if (header->dbch_size <= kNameOffset) return std::string();
    const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(record);
    const std::size_t room = header->dbch_size - kNameOffset;
    const void* end = std::memchr(device->dbcc_name, '\0', room);
    const std::size_t length = end ? static_cast<const char*>(end) - device->dbcc_name : room;
    return std::string(device->dbcc_name, length);
}

} // namespace brelvin
