// Probyx.dll as an outside program uses it: loaded by file name, the export
// looked up by name, called with no arguments. Each case registers the
// Image-class devices it needs and removes them again.
#include "FakeImageDevice.h"

#include "camprobe/CameraModelTable.h"

#include <gtest/gtest.h>

#include <cfgmgr32.h>
#include <cctype>

#include <memory>
#include <string>
#include <vector>

namespace camprobe::test {
namespace {

using GetCameraInFunction = int(__cdecl*)();
using GetCameraInStdcall = int(__stdcall*)();

class ProbyxLibrary {
public:
    ProbyxLibrary()
        : module_(LoadLibraryA(PROBYX_DLL))
    {}
    ~ProbyxLibrary()
    {
        if (module_) FreeLibrary(module_);
    }
    ProbyxLibrary(const ProbyxLibrary&) = delete;
    ProbyxLibrary& operator=(const ProbyxLibrary&) = delete;

    template <typename Function>
    Function Export(const char* name) const
    {
        FARPROC address = module_ ? GetProcAddress(module_, name) : nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
    }

private:
    HMODULE module_;
};

std::string Entry(int model)
{
    return CameraModelTable()[model].data();
}

// The instance IDs of the present Image-class devices in enumeration order.
std::vector<std::string> PresentImageDeviceIds()
{
    static constexpr GUID kImageSetupClass = {
        0x6BDD1FC6, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};
    std::vector<std::string> ids;
    HDEVINFO set = SetupDiGetClassDevsA(&kImageSetupClass, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return ids;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        char id[MAX_DEVICE_ID_LEN] = {};
        SetupDiGetDeviceInstanceIdA(set, &device, id, sizeof(id), nullptr);
        ids.push_back(id);
    }
    SetupDiDestroyDeviceInfoList(set);
    return ids;
}

class ProbyxWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTestImageDevices();
        // The cases count on being alone in the Image class.
        ASSERT_EQ(PresentImageDeviceIds(), std::vector<std::string>{});
        getCameraIn_ = library_.Export<GetCameraInFunction>("GetCameraIn");
        ASSERT_NE(getCameraIn_, nullptr) << "GetCameraIn not exported by name from " << PROBYX_DLL;
    }
    void TearDown() override
    {
        devices_.clear();
        RemoveTestImageDevices();
    }

    // Registers the devices in the order given; the enumeration follows the
    // instance IDs, which the cases choose so that the order is the intended one.
    void Attach(const std::vector<std::string>& instanceIds)
    {
        for (const std::string& id : instanceIds) {
            devices_.push_back(std::make_unique<FakeImageDevice>(id));
            ASSERT_TRUE(devices_.back()->Registered()) << id;
        }
    }

    int Detect() const { return getCameraIn_(); }

    ProbyxLibrary library_;
    GetCameraInFunction getCameraIn_ = nullptr;
    std::vector<std::unique_ptr<FakeImageDevice>> devices_;
};

TEST_F(ProbyxWine, NoImageDeviceGivesMinusOne)
{
    EXPECT_EQ(Detect(), kNoCameraModel);
}

TEST_F(ProbyxWine, UnsupportedImagingDevicesOnlyGiveMinusOne)
{
    Attach({"USB\\VID_04A9&PID_1909\\PROBYXTEST_SCANNER", "USB\\VID_046D&PID_0825\\PROBYXTEST_WEBCAM"});
    EXPECT_EQ(Detect(), kNoCameraModel);
}

TEST_F(ProbyxWine, OneSupportedCameraGivesItsTableIndex)
{
    for (int model = 0; model < kModelCount; ++model) {
        Attach({"USB\\" + Entry(model) + "\\PROBYXTEST_CAM" + std::to_string(model)});
        EXPECT_EQ(Detect(), model);
        devices_.clear();
    }
}

TEST_F(ProbyxWine, SupportedCameraThenUnsupportedDeviceKeepsTheCamera)
{
    // The camera's ID sorts before "USB\VID_FFFF&PID_FFFF\...": it comes first.
    Attach({"USB\\" + Entry(3) + "\\PROBYXTEST_CAM1", "USB\\VID_FFFF&PID_FFFF\\PROBYXTEST_OTHER"});
    ASSERT_EQ(PresentImageDeviceIds().back(), "USB\\VID_FFFF&PID_FFFF\\PROBYXTEST_OTHER");
    EXPECT_EQ(Detect(), 3);
}

TEST_F(ProbyxWine, TwoSupportedCamerasGiveTheOneEnumeratedLast)
{
    Attach({"USB\\" + Entry(4) + "\\PROBYXTEST_CAM1", "USB\\" + Entry(1) + "\\PROBYXTEST_CAM2"});
    const std::vector<std::string> ids = PresentImageDeviceIds();
    ASSERT_EQ(ids.size(), 2u);
    const int last = ids[1].find(Entry(4)) != std::string::npos ? 4 : 1;
    EXPECT_EQ(Detect(), last) << ids[0] << " then " << ids[1];
}

TEST_F(ProbyxWine, LowerCaseHardwareIdDoesNotMatch)
{
    std::string lower = "usb\\" + Entry(0) + "\\probyxtest_cam1";
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    Attach({lower});
    const std::vector<std::string> ids = PresentImageDeviceIds();
    ASSERT_EQ(ids.size(), 1u);
    if (ids[0] != lower) GTEST_SKIP() << "the system stored the ID as " << ids[0];
    EXPECT_EQ(Detect(), kNoCameraModel);
}

TEST_F(ProbyxWine, CompositeDeviceInterfaceIdMatches)
{
    Attach({"USB\\" + Entry(2) + "&MI_00\\PROBYXTEST&0&0000"});
    EXPECT_EQ(Detect(), 2);
}

TEST_F(ProbyxWine, CallableThroughEitherCallingConvention)
{
    Attach({"USB\\" + Entry(5) + "\\PROBYXTEST_CAM1"});
    auto asStdcall = library_.Export<GetCameraInStdcall>("GetCameraIn");
    ASSERT_NE(asStdcall, nullptr);
    for (int call = 0; call < 3; ++call) {
        EXPECT_EQ(asStdcall(), 5);
        EXPECT_EQ(getCameraIn_(), 5);
    }
}

} // namespace
} // namespace camprobe::test
