#include "FakeImageDevice.h"

namespace camprobe::test {

namespace {

constexpr GUID kImageSetupClass = {0x6BDD1FC6, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};

} // namespace

FakeImageDevice::FakeImageDevice(const std::string& instanceId)
    : set_(SetupDiCreateDeviceInfoList(&kImageSetupClass, nullptr))
{
    if (set_ == INVALID_HANDLE_VALUE) return;
    device_.cbSize = sizeof(device_);
    if (!SetupDiCreateDeviceInfoA(set_, instanceId.c_str(), &kImageSetupClass, nullptr, nullptr, 0, &device_))
        return;
    registered_ = SetupDiRegisterDeviceInfo(set_, &device_, 0, nullptr, nullptr, nullptr) != FALSE;
}

FakeImageDevice::~FakeImageDevice()
{
    if (set_ == INVALID_HANDLE_VALUE) return;
    if (registered_) SetupDiRemoveDevice(set_, &device_);
    SetupDiDestroyDeviceInfoList(set_);
}

void RemoveAllImageDevices()
{
    // A fresh list each round, so that what removal does to a list does not matter.
    for (int guard = 0; guard < 256; ++guard) {
        HDEVINFO set = SetupDiGetClassDevsA(&kImageSetupClass, nullptr, nullptr, 0);
        if (set == INVALID_HANDLE_VALUE) return;
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        const bool removed = SetupDiEnumDeviceInfo(set, 0, &device) && SetupDiRemoveDevice(set, &device);
        SetupDiDestroyDeviceInfoList(set);
        if (!removed) return;
    }
}

} // namespace camprobe::test
