#include "driver/SmoothingStage.h"

#include "driver/Calibration.h"

namespace driver {

PointUnit PixelUnit(ScreenSize screen)
{
    return {screen.width > 0 ? CCalibration::kCameraWidth / screen.width : 1,
            screen.height > 0 ? CCalibration::kCameraHeight / screen.height : 1};
}

} // namespace driver
