#include "FakeImageDevice.h"

#include <cfgmgr32.h>

#include <cctype>
#include <string>
#include <vector>

namespace camprobe::test {

namespace {

constexpr GUID kImageSetupClass = {0x6BDD1FC6, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};

} // namespace

FakeImageDevice::FakeImageDevice(const std::string& instanceId)
    : set_(SetupDiCreateDeviceInfoList(&kImageSetupClass, nullptr))
{
    if (set_ == INVALID_HANDLE_VALUE) return;
    device_.cbSize = sizeof(device_);
    if (!SetupDiCreateDeviceInfoA(set_, instanceId.c_str(), &kImageSetupClass, nullptr, nullptr, 0, &device_)) return;
    registered_ = SetupDiRegisterDeviceInfo(set_, &device_, 0, nullptr, nullptr, nullptr) != FALSE;
}

FakeImageDevice::~FakeImageDevice()
{
    if (set_ == INVALID_HANDLE_VALUE) return;
    if (registered_) SetupDiRemoveDevice(set_, &device_);
    SetupDiDestroyDeviceInfoList(set_);
}

void RemoveTestImageDevices()
{
    HDEVINFO set = SetupDiGetClassDevsA(&kImageSetupClass, nullptr, nullptr, 0);
    if (set == INVALID_HANDLE_VALUE) return;
    std::vector<SP_DEVINFO_DATA> leftovers;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        char id[MAX_DEVICE_ID_LEN] = {};
        if (!SetupDiGetDeviceInstanceIdA(set, &device, id, sizeof(id), nullptr)) continue;
        std::string upper = id;
        for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        if (upper.find(kTestDeviceMarker) != std::string::npos) leftovers.push_back(device);
    }
    for (SP_DEVINFO_DATA& leftover : leftovers) SetupDiRemoveDevice(set, &leftover);
    SetupDiDestroyDeviceInfoList(set);
}

} // namespace camprobe::test
