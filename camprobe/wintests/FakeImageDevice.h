#pragma once
// A device of the Image setup class made up for a test. It enumerates as
// present while the object lives and is removed again when it goes.
#include <windows.h>
#include <setupapi.h>

#include <string>

namespace camprobe::test {

class FakeImageDevice {
public:
    explicit FakeImageDevice(const std::string& instanceId);
    ~FakeImageDevice();
    FakeImageDevice(const FakeImageDevice&) = delete;
    FakeImageDevice& operator=(const FakeImageDevice&) = delete;

    bool Registered() const { return registered_; }

private:
    HDEVINFO set_;
    SP_DEVINFO_DATA device_{};
    bool registered_ = false;
};

// Instance IDs of the tests' devices carry this, so that leftovers of an
// interrupted run can be told from anybody else's devices.
inline constexpr const char* kTestDeviceMarker = "PROBYXTEST";

// Removes the tests' Image-class devices that an earlier run left behind.
void RemoveTestImageDevices();

} // namespace camprobe::test
