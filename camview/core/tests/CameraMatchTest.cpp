#include "camview/CameraMatch.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace camview {
namespace {

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring PathFor(const std::string& hardwareId)
{
    return Wide("\\\\?\\usb#" + Lower(hardwareId) + "&mi_00#7&1b2c3d&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global");
}

TEST(ViewToolHardwareIds, FollowTheProductTableFirstGenerationFirst)
{
    const auto ids = ViewToolHardwareIds();
    for (int entry = 0; entry < 6; ++entry) {
        const auto& model = product::kCameraModels[product::kViewToolCameraModels[entry]];
        EXPECT_EQ(ids[entry], std::string(product::UpperHardwareId(model).data()));
        EXPECT_EQ(ids[entry].size(), kHardwareIdLength);
        const auto camera = MatchDevicePath(PathFor(ids[entry]));
        ASSERT_TRUE(camera) << ids[entry];
        EXPECT_EQ(camera->entry, entry);
        EXPECT_EQ(camera->generation, entry < 3 ? CameraGeneration::First : CameraGeneration::Second);
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
    EXPECT_FALSE(MatchDevicePath("\\\\?\\usb##" + id));                // shifted by one
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
    const auto ids = ViewToolHardwareIds();
    CameraSearch search;
    EXPECT_EQ(search.Count(), 0);
    EXPECT_FALSE(search.Offer(L"\\\\?\\root#image#0000#{65e8773d}"));
    EXPECT_TRUE(search.Offer(PathFor(ids[5])));
    EXPECT_EQ(search.Generation(), CameraGeneration::Second);
    EXPECT_TRUE(search.Offer(PathFor(ids[0])));
    EXPECT_EQ(search.Count(), 2);
    // A later first-generation camera does not clear the second generation.
    EXPECT_EQ(search.Generation(), CameraGeneration::Second);
}

TEST(CameraSearch, OnlyFirstGenerationCamerasGiveTheFirstGeneration)
{
    const auto ids = ViewToolHardwareIds();
    CameraSearch search;
    for (int entry = 0; entry < 3; ++entry) EXPECT_TRUE(search.Offer(PathFor(ids[entry])));
    EXPECT_EQ(search.Count(), 3);
    EXPECT_EQ(search.Generation(), CameraGeneration::First);
}

} // namespace
} // namespace camview
