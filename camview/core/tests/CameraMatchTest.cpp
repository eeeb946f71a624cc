#include "camview/CameraMatch.h"

#include "testsupport/CameraDeviceNames.h"

#include <gtest/gtest.h>

#include <string>

namespace camview {
namespace {

using cameranames::Lower;
using cameranames::Usb;

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// The vendor ID of the view tool's list entry.
std::uint16_t EntryVendor(int entry)
{
    return cameranames::ModelVendor(product::kViewToolCameraModels[entry]);
}

// The device path DirectShow gives the camera of a list entry.
std::wstring PathFor(int entry, Usb usb = Usb::CompositeFunction)
{
    return Wide(cameranames::DirectShowDevicePath(EntryVendor(entry), product::kCameraProductId, usb));
}

TEST(ViewToolHardwareIds, FollowTheProductTableFirstGenerationFirst)
{
    const auto ids = ViewToolHardwareIds();
    for (int entry = 0; entry < 6; ++entry) {
        const auto& model = product::kCameraModels[product::kViewToolCameraModels[entry]];
        EXPECT_EQ(ids[entry], std::string(product::UpperHardwareId(model).data()));
        EXPECT_EQ(ids[entry].size(), kHardwareIdLength);
    }
}

TEST(MatchDevicePath, RecognisesEveryListedCameraAsTheSystemNamesIt)
{
    for (int entry = 0; entry < 6; ++entry) {
        const std::uint16_t vendor = EntryVendor(entry);
        // DevicePath of the whole device and of a composite device's camera
        // function, and the same interface as a device notice spells it.
        for (const std::string& path :
             {cameranames::DirectShowDevicePath(vendor),
              cameranames::DirectShowDevicePath(vendor, product::kCameraProductId, Usb::CompositeFunction),
              cameranames::CaptureInterfaceName(vendor)}) {
            const auto camera = MatchDevicePath(Wide(path));
            ASSERT_TRUE(camera) << path;
            EXPECT_EQ(camera->entry, entry) << path;
            EXPECT_EQ(camera->generation, entry < 3 ? CameraGeneration::First : CameraGeneration::Second);
            EXPECT_TRUE(MatchDevicePath(path)) << path;
        }
    }
}

TEST(MatchDevicePath, OtherDevicesAreNotTheBoardCamera)
{
    const std::uint16_t otherProduct = static_cast<std::uint16_t>(product::kCameraProductId ^ 0x0100);
    for (const std::string& path :
         {cameranames::DirectShowDevicePath(cameranames::UnlistedVendor()),
          cameranames::DirectShowDevicePath(EntryVendor(0), otherProduct),
          cameranames::DirectShowDevicePath(EntryVendor(0)).substr(0, 24),
          std::string("\\\\?\\root#image#0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global")}) {
        EXPECT_FALSE(MatchDevicePath(Wide(path))) << path;
    }
}

TEST(MatchDevicePath, ComparesWithoutRegardToCase)
{
    const std::string id = ViewToolHardwareIds()[4];
    EXPECT_TRUE(MatchDevicePath("\\\\?\\USB#" + id + "#rest"));
    EXPECT_TRUE(MatchDevicePath("\\\\?\\usb#" + Lower(id) + "#rest"));
    EXPECT_TRUE(MatchDevicePath(Wide("\\\\?\\usb#" + Lower(id))));
}

TEST(MatchDevicePath, NeedsTheIdAtItsPlaceAndWhole)
{
    const std::string id = ViewToolHardwareIds()[0];
    EXPECT_FALSE(MatchDevicePath("\\\\?\\usb#" + id.substr(0, 16))); // one character short
    EXPECT_FALSE(MatchDevicePath("\\\\?\\usb"));
    EXPECT_FALSE(MatchDevicePath(""));
    EXPECT_FALSE(MatchDevicePath("\\\\?\\usb##" + id));                 // shifted by one
    EXPECT_FALSE(MatchDevicePath("\\\\?\\usb#VID_0000&PID_0000#rest")); // unlisted camera
    std::string otherProduct = id;
    otherProduct[16] = otherProduct[16] == '0' ? '1' : '0';
    EXPECT_FALSE(MatchDevicePath("\\\\?\\usb#" + otherProduct));
}

TEST(MatchDevicePath, CharactersOutsideAsciiNeverMatch)
{
    std::wstring path = Wide("\\\\?\\usb#" + ViewToolHardwareIds()[1]);
    ASSERT_TRUE(MatchDevicePath(path));
    path[8] = static_cast<wchar_t>(0x0100 + L'V'); // would be 'V' if the high bits were dropped
    EXPECT_FALSE(MatchDevicePath(path));
}

TEST(CameraSearch, CountsListedCamerasAndRemembersTheSecondGeneration)
{
    CameraSearch search;
    EXPECT_EQ(search.Count(), 0);
    EXPECT_FALSE(search.Offer(L"\\\\?\\root#image#0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global"));
    EXPECT_TRUE(search.Offer(PathFor(5)));
    EXPECT_EQ(search.Generation(), CameraGeneration::Second);
    EXPECT_TRUE(search.Offer(PathFor(0)));
    EXPECT_EQ(search.Count(), 2);
    // A later first-generation camera does not clear the second generation.
    EXPECT_EQ(search.Generation(), CameraGeneration::Second);
}

TEST(CameraSearch, OnlyFirstGenerationCamerasGiveTheFirstGeneration)
{
    CameraSearch search;
    for (int entry = 0; entry < 3; ++entry) EXPECT_TRUE(search.Offer(PathFor(entry)));
    EXPECT_EQ(search.Count(), 3);
    EXPECT_EQ(search.Generation(), CameraGeneration::First);
}

} // namespace
} // namespace camview
