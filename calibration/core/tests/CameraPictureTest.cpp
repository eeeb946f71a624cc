// The camera's frames as the automatic calibration reads them.
#include "calibration/CameraPicture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using calibration::CameraPicture;
using calibration::GreyFromRgb24;

TEST(CameraPicture, ReadsPaddedBgrRowsInEitherOrderAndRefusesAShortFrame)
{
    // 3 x 2 pixels: rows of 9 bytes padded to 12. Blue, green, red, then
    // white, black, grey; bottom row first as a capture delivers it.
    const std::vector<std::uint8_t> bottomUp = {
        255, 255, 255, 0, 0,   0, 128, 128, 128, 0xEE, 0xEE, 0xEE, // bottom row
        255, 0,   0,   0, 255, 0, 0,   0,   255, 0xEE, 0xEE, 0xEE, // top row
    };
    const CameraPicture picture = GreyFromRgb24(bottomUp.data(), bottomUp.size(), 3, 2, true);
    ASSERT_FALSE(picture.Empty());
    EXPECT_EQ(picture.grey, (std::vector<std::uint8_t>{29, 149, 77, 255, 0, 128}));
    const CameraPicture topDown = GreyFromRgb24(bottomUp.data(), bottomUp.size(), 3, 2, false);
    EXPECT_EQ(topDown.At(0, 0), 255);
    EXPECT_EQ(topDown.At(0, 1), 29);

    // The last row's padding may be missing; any byte less is refused.
    EXPECT_FALSE(GreyFromRgb24(bottomUp.data(), bottomUp.size() - 3, 3, 2, true).Empty());
    EXPECT_TRUE(GreyFromRgb24(bottomUp.data(), bottomUp.size() - 4, 3, 2, true).Empty());
    EXPECT_TRUE(GreyFromRgb24(bottomUp.data(), bottomUp.size(), 0, 2, true).Empty());
    EXPECT_TRUE(GreyFromRgb24(bottomUp.data(), bottomUp.size(), 3, -2, true).Empty());
    EXPECT_TRUE(GreyFromRgb24(bottomUp.data(), bottomUp.size(), 1 << 30, 1 << 30, true).Empty());
}

TEST(CameraPicture, APicturePositionBecomesCameraUnitsForAnyFrameSize)
{
    const auto centreOf320 = calibration::CameraPointOf({160.5, 120.25}, 320, 240);
    EXPECT_DOUBLE_EQ(centreOf320.x, 1605);
    EXPECT_DOUBLE_EQ(centreOf320.y, 1202.5);
    const auto of640 = calibration::CameraPointOf({640, 0}, 640, 480);
    EXPECT_DOUBLE_EQ(of640.x, 3200);
    EXPECT_DOUBLE_EQ(of640.y, 0);
    const auto wide = calibration::CameraPointOf({321, 120}, 642, 240);
    EXPECT_DOUBLE_EQ(wide.x, 1600);
    EXPECT_DOUBLE_EQ(wide.y, 1200);
}

} // namespace
