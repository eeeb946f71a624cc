#include "camview/CameraProperties.h"

#include <algorithm>

namespace camview {

std::vector<PropertySetting> StartingProperties(CameraGeneration generation)
{
    using namespace property;
    constexpr auto amp = PropertyInterface::VideoProcAmp;
    constexpr auto control = PropertyInterface::CameraControl;
    if (generation == CameraGeneration::Second) {
        return {{amp, kBrightness, 70, kFlagsAuto},
                {amp, kContrast, 100, kFlagsAuto},
                {amp, kGain, 80, kFlagsAuto},
                {amp, kGamma, 140, kFlagsAuto},
                {control, kExposure, -5, kFlagsManual}};
    }
    return {{amp, kBrightness, 80, kFlagsAuto},
            {amp, kContrast, 100, kFlagsAuto},
            {amp, kGain, 100, kFlagsAuto},
            {control, kExposure, -5, kFlagsManual}};
}

SliderSetup SliderSetupFor(CameraGeneration generation)
{
    if (generation == CameraGeneration::Second) return {1, 184, 183};
    return {1, 13, 9};
}

PropertySetting BrightnessSetting(CameraGeneration generation, int sliderPosition)
{
    const SliderSetup slider = SliderSetupFor(generation);
    const int position = std::clamp(sliderPosition, slider.minimum, slider.maximum);
    if (generation == CameraGeneration::Second)
        return {PropertyInterface::VideoProcAmp, property::kGamma, 255 - position, property::kFlagsAuto};
    return {PropertyInterface::CameraControl, property::kExposure, -(14 - position), property::kFlagsManual};
}

} // namespace camview
