#include "DeviceNotifications.h"

#include <dbt.h>
#include <rpc.h>

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

} // namespace brelvin
