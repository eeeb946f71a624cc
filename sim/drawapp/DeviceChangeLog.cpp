#include "DeviceChangeLog.h"

#include "sim/LineLog.h"

#include <dbt.h>

#include <cstddef>
#include <cstring>

namespace sim {
namespace {

constexpr const char* kLogPathProperty = "SimDeviceChangeLog";
constexpr const char* kPreviousProcedureProperty = "SimDeviceChangePrevious";

// Read no further than the record's own size says.
std::string InterfaceName(LPARAM record)
{
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(record);
    constexpr std::size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    if (header->dbch_size <= kNameOffset) return {};
    const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(record);
    const std::size_t room = header->dbch_size - kNameOffset;
    const void* end = std::memchr(device->dbcc_name, '\0', room);
    return std::string(device->dbcc_name, end ? static_cast<const char*>(end) - device->dbcc_name : room);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProcedureProperty));
    const auto* logPath = static_cast<const std::string*>(GetPropA(window, kLogPathProperty));
    if (message == WM_DEVICECHANGE && lParam != 0 && logPath &&
        reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
        AppendLine(*logPath, "device " + std::to_string(wParam) + " " + InterfaceName(lParam));
    }
    if (message == WM_NCDESTROY) {
        RemovePropA(window, kPreviousProcedureProperty);
        RemovePropA(window, kLogPathProperty);
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        delete logPath;
    }
    return previous ? CallWindowProcA(previous, window, message, wParam, lParam)
                    : DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

bool LogDeviceChanges(HWND window, const std::string& logPath)
{
    auto* path = new std::string(logPath);
    const LONG_PTR previous = GetWindowLongPtrA(window, GWLP_WNDPROC);
    if (!SetPropA(window, kLogPathProperty, path) ||
        !SetPropA(window, kPreviousProcedureProperty, reinterpret_cast<HANDLE>(previous))) {
        RemovePropA(window, kLogPathProperty);
        delete path;
        return false;
    }
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    return true;
}

} // namespace sim
