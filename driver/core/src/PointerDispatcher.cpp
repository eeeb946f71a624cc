#include "driver/PointerDispatcher.h"

#include "driver/MouseInput.h"
#include "driver/Truncate.h"

#include <cstdint>
#include <cstdlib>

namespace driver {
namespace {

bool StillNear(const ScreenPosition& a, const ScreenPosition& b, int radius) {
    // 64-bit differences: saturated positions must not overflow here either.
    const std::int64_t dx = std::llabs(static_cast<std::int64_t>(a.x) - b.x);
    const std::int64_t dy = std::llabs(static_cast<std::int64_t>(a.y) - b.y);
    return dx < radius && dy < radius;
}

} // namespace

void PointerDispatcher::DispatchPointer(const PointerSample& sample, const CalibrationView& calibration) {
    Point point{sample.x, sample.y};
    const bool onBoard = calibration.MapPoint(point);
    last_ = {TruncateToInt(point.x), TruncateToInt(point.y)};

    const MouseInput mouse(desktop_, calibration.Screen());
    if (!onBoard) {
        // Leaving the board drops whatever the pointer was doing.
        mouse.MouseLeftUp(last_.x, last_.y);
        return;
    }

    switch (sample.phase) {
    case PointerPhase::Release:
        mouse.MouseLeftUp(last_.x, last_.y);
        releaseSeen_ = true;
        break;
    case PointerPhase::Press:
        mouse.MouseLeftDownAt(last_.x, last_.y);
        releaseSeen_ = false;
        anchor_ = last_;
        holdCount_ = 0;
        break;
    case PointerPhase::Move:
        // Stillness is measured against the press point, not the last move.
        if (StillNear(last_, anchor_, kStillRadius)) {
            ++holdCount_;
        } else {
            holdCount_ = 0;
        }
        if (holdCount_ > kHoldSamples && !releaseSeen_) {
            mouse.MouseLeftDownAt(last_.x, last_.y);
            mouse.MouseLeftUp(last_.x, last_.y);
            mouse.MouseRightClickAt(last_.x, last_.y);
            holdCount_ = 0;
        }
        mouse.MouseMoveTo(last_.x, last_.y);
        break;
    }
}

} // namespace driver
