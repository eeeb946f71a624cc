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

// Removes every device of the Image class that an earlier run left behind.
void RemoveAllImageDevices();

} // namespace camprobe::test
