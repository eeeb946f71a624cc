#include "driver/Stillness.h"

namespace driver {

const char* Name(Stillness::Motion motion)
{
    switch (motion) {
    case Stillness::Motion::Still: return "Still";
    case Stillness::Motion::Moving: return "Moving";
    }
    return "?";
}

Stillness::Motion Stillness::Judge(double speed)
{
    switch (motion_) {
    case Motion::Still:
        if (speed > movingAbove_) motion_ = Motion::Moving;
        break;
    case Motion::Moving:
        if (speed < stillBelow_) motion_ = Motion::Still;
        break;
    }
    return motion_;
}

} // namespace driver
