#include "camview/CameraProperties.h"

#include <gtest/gtest.h>

namespace camview {
namespace {

using namespace property;
constexpr auto kAmp = PropertyInterface::VideoProcAmp;
constexpr auto kControl = PropertyInterface::CameraControl;

TEST(StartingProperties, FirstGeneration)
{
    const std::vector<PropertySetting> expected = {{kAmp, kBrightness, 80, kFlagsAuto},
                                                   {kAmp, kContrast, 100, kFlagsAuto},
                                                   {kAmp, kGain, 100, kFlagsAuto},
                                                   {kControl, kExposure, -5, kFlagsManual}};
    EXPECT_EQ(StartingProperties(CameraGeneration::First), expected);
}

TEST(StartingProperties, SecondGenerationAddsGamma)
{
    const std::vector<PropertySetting> expected = {{kAmp, kBrightness, 70, kFlagsAuto},
                                                   {kAmp, kContrast, 100, kFlagsAuto},
                                                   {kAmp, kGain, 80, kFlagsAuto},
                                                   {kAmp, kGamma, 140, kFlagsAuto},
                                                   {kControl, kExposure, -5, kFlagsManual}};
    EXPECT_EQ(StartingProperties(CameraGeneration::Second), expected);
}

TEST(Slider, RangeAndStartPerGeneration)
{
    const SliderSetup first = SliderSetupFor(CameraGeneration::First);
    EXPECT_EQ(first.minimum, 1);
    EXPECT_EQ(first.maximum, 13);
    EXPECT_EQ(first.position, 9);
    const SliderSetup second = SliderSetupFor(CameraGeneration::Second);
    EXPECT_EQ(second.minimum, 1);
    EXPECT_EQ(second.maximum, 184);
    EXPECT_EQ(second.position, 183);
}

TEST(Slider, SecondGenerationDrivesGamma)
{
    EXPECT_EQ(BrightnessSetting(CameraGeneration::Second, 184), (PropertySetting{kAmp, kGamma, 71, kFlagsAuto}));
    EXPECT_EQ(BrightnessSetting(CameraGeneration::Second, 1).value, 254);
    EXPECT_EQ(BrightnessSetting(CameraGeneration::Second, 183).value, 72);
}

TEST(Slider, FirstGenerationDrivesExposure)
{
    EXPECT_EQ(BrightnessSetting(CameraGeneration::First, 1), (PropertySetting{kControl, kExposure, -13, kFlagsManual}));
    EXPECT_EQ(BrightnessSetting(CameraGeneration::First, 13).value, -1);
    // Position 9 gives the starting exposure back.
    EXPECT_EQ(BrightnessSetting(CameraGeneration::First, 9).value, -5);
}

TEST(Slider, PositionsBeyondTheRangeAreTakenAsItsEnds)
{
    EXPECT_EQ(BrightnessSetting(CameraGeneration::First, 0).value, -13);
    EXPECT_EQ(BrightnessSetting(CameraGeneration::First, 40).value, -1);
    EXPECT_EQ(BrightnessSetting(CameraGeneration::Second, 500).value, 71);
    EXPECT_EQ(BrightnessSetting(CameraGeneration::Second, -3).value, 254);
}

} // namespace
} // namespace camview
