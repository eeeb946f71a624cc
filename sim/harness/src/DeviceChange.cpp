#include "sim/DeviceChange.h"

#include "common/CameraIds.h"

#include <dbt.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace sim {
namespace {

// KSCATEGORY_CAPTURE, the category the driver registers for.
constexpr GUID kCaptureCategory = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

constexpr const char* kPrefix = "\\\\?\\USB#";
constexpr const char* kSuffix = "&MI_00#7&2f1a3c5&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";

std::string IdText(const char* format, unsigned vendorId, unsigned productId) {
    char text[32];
    std::snprintf(text, sizeof text, format, vendorId, productId);
    return text;
}

unsigned VendorOfEntry(std::size_t entry) {
    return product::kCameraModels[static_cast<std::size_t>(product::kDriverCameraModels[entry % 4])].vendorId;
}

} // namespace

std::string ListedCameraInterfaceName(std::size_t entry) {
    return kPrefix + IdText("VID_%4x&PID_%4x", VendorOfEntry(entry), product::kCameraProductId) + kSuffix;
}

std::string LowerCasePrefixInterfaceName(std::size_t entry) {
    return kPrefix + IdText("vid_%4x&pid_%4x", VendorOfEntry(entry), product::kCameraProductId) + kSuffix;
}

std::string UnlistedCameraInterfaceName() {
    // A vendor no table holds.
    return kPrefix + IdText("VID_%4x&PID_%4x", 0x1d6bu, 0x0104u) + kSuffix;
}

bool SendDeviceChange(HWND window, DeviceChange change, const std::string& name, unsigned timeoutMs) {
    constexpr std::size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    std::vector<char> bytes(kNameOffset + name.size() + 1, '\0');
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(bytes.data());
    record->dbcc_size = static_cast<DWORD>(bytes.size());
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    record->dbcc_classguid = kCaptureCategory;
    std::memcpy(record->dbcc_name, name.c_str(), name.size() + 1);
    const WPARAM event = change == DeviceChange::Arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record), SMTO_NORMAL,
                               timeoutMs, &answer) != 0;
}

} // namespace sim
