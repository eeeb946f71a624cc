#pragma once
// The picture properties the view sets on the camera: fixed starting values
// per generation, and the brightness-like property behind the slider
// (exposure on first-generation cameras, gamma on second-generation ones).
#include "camview/CameraMatch.h"

#include <vector>

namespace camview {

// Which camera interface a property belongs to.
enum class PropertyInterface { VideoProcAmp, CameraControl };

// Property numbers and flags as the camera interfaces define them.
namespace property {
inline constexpr long kBrightness = 0;
inline constexpr long kContrast = 1;
inline constexpr long kGamma = 5;
inline constexpr long kGain = 9;
inline constexpr long kExposure = 4;
inline constexpr long kFlagsAuto = 1;
inline constexpr long kFlagsManual = 2;
} // namespace property

struct PropertySetting {
    PropertyInterface target;
    long property;
    long value;
    long flags;

    bool operator==(const PropertySetting& other) const
    {
        return target == other.target && property == other.property && value == other.value && flags == other.flags;
    }
};

// In the order they are applied once the graph runs.
std::vector<PropertySetting> StartingProperties(CameraGeneration generation);

struct SliderSetup {
    int minimum;
    int maximum;
    int position;
};

SliderSetup SliderSetupFor(CameraGeneration generation);

// The setting for a slider position; positions outside the slider's range
// are taken as its nearest end.
PropertySetting BrightnessSetting(CameraGeneration generation, int sliderPosition);

} // namespace camview
