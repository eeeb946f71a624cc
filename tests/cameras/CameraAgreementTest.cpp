// Which devices are the board's camera, as the driver, the camera view tool
// and the model-detection library each decide it from the name the system
// gives them: the driver from a device notice's interface name, the view
// tool from a DirectShow device path, the library from an instance ID. Their
// tables are all drawn from the one list of camera models; these cases keep
// the three decisions in step model by model.
#include "DriverFakes.h"

#include "camprobe/CameraModelTable.h"
#include "camprobe/DetectCameraModel.h"
#include "camview/CameraMatch.h"
#include "driver/CaptureDeviceWatch.h"
#include "testsupport/CameraDeviceNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

// The build with IDs of decimal digits reports its cases apart.
#ifdef CAMERA_IDS_OF_DECIMAL_DIGITS
#define AGREEMENT_SUITE CameraAgreementDecimalIds
#else
#define AGREEMENT_SUITE CameraAgreement
#endif

namespace {

using namespace cameranames;

struct Decisions {
    bool driver = false;
    int driverKind = 0;
    std::optional<camview::ListedCamera> viewTool;
    int model = camprobe::kNoCameraModel;
};

// What each program makes of the camera with these IDs, each reading the
// name in the form it gets it in.
Decisions Decide(std::uint16_t vendorId, std::uint16_t productId, Usb usb)
{
    Decisions decisions;
    driver::testing::FakeDesktop desktop;
    driver::DriverState state;
    driver::NoFaultLog faults;
    driver::CaptureDeviceWatch watch(desktop, state, faults);
    decisions.driver = watch.Match(CaptureInterfaceName(vendorId, productId, usb));
    decisions.driverKind = state.cameraKind;
    decisions.viewTool = camview::MatchDevicePath(DirectShowDevicePath(vendorId, productId, usb));
    decisions.model = camprobe::ModelInDeviceId(DeviceInstanceId(vendorId, productId, usb).c_str());
    return decisions;
}

bool DriverLists(int model)
{
    return std::find(product::kDriverCameraModels.begin(), product::kDriverCameraModels.end(), model) !=
           product::kDriverCameraModels.end();
}

TEST(AGREEMENT_SUITE, EachModelIsTheBoardCameraToEveryProgramThatListsIt)
{
    for (Usb usb : {Usb::Whole, Usb::CompositeFunction}) {
        for (int model = 0; model < static_cast<int>(product::kCameraModels.size()); ++model) {
            const product::CameraModel& camera = product::kCameraModels[static_cast<std::size_t>(model)];
            const std::string id = HardwareId(camera.vendorId);
            const Decisions decisions = Decide(camera.vendorId, product::kCameraProductId, usb);

            EXPECT_EQ(decisions.model, model) << id;

            ASSERT_TRUE(decisions.viewTool) << id;
            EXPECT_EQ(product::kViewToolCameraModels[static_cast<std::size_t>(decisions.viewTool->entry)], model) << id;
            EXPECT_EQ(static_cast<int>(decisions.viewTool->generation), camera.generation) << id;

            EXPECT_EQ(decisions.driver, DriverLists(model)) << id;
            EXPECT_EQ(decisions.driverKind, decisions.driver ? camera.generation : 0) << id;
        }
    }
}

TEST(AGREEMENT_SUITE, OtherCamerasAreNobodysBoardCamera)
{
    const std::uint16_t otherProduct = static_cast<std::uint16_t>(product::kCameraProductId ^ 0x0100);
    for (const auto& [vendorId, productId] :
         {std::pair{UnlistedVendor(), product::kCameraProductId}, std::pair{ModelVendor(2), otherProduct}}) {
        const Decisions decisions = Decide(vendorId, productId, Usb::Whole);
        EXPECT_FALSE(decisions.driver) << HardwareId(vendorId, productId);
        EXPECT_FALSE(decisions.viewTool) << HardwareId(vendorId, productId);
        EXPECT_EQ(decisions.model, camprobe::kNoCameraModel) << HardwareId(vendorId, productId);
    }
}

#ifdef CAMERA_IDS_OF_DECIMAL_DIGITS
// Built with IDs of four decimal digits, none led by a zero: the system's
// spelling of such an ID is the lower-case, blank-padded one the driver used
// to compare with, so these cameras are recognised exactly as before.
TEST(AGREEMENT_SUITE, DecimalIdsReadTheSameInTheDriversEarlierSpelling)
{
    for (std::size_t entry = 0; entry < product::kDriverCameraModels.size(); ++entry) {
        const std::uint16_t vendorId = DriverEntryVendor(entry);
        char earlier[32];
        std::snprintf(earlier, sizeof earlier, "VID_%4x&PID_%4x", static_cast<unsigned>(vendorId),
                      static_cast<unsigned>(product::kCameraProductId));
        const std::string name = CaptureInterfaceName(vendorId);
        EXPECT_EQ(name.substr(8, 17), earlier);

        driver::testing::FakeDesktop desktop;
        driver::DriverState state;
        driver::NoFaultLog faults;
        driver::CaptureDeviceWatch watch(desktop, state, faults);
        EXPECT_TRUE(watch.Match(name)) << name;
        EXPECT_FALSE(watch.Match(Lower(name))) << name;
    }
}
#endif

} // namespace
