#include "driver/MousePointer.h"

namespace driver {
namespace {

constexpr double kNewWeight = 0.6;
constexpr double kLastWeight = 0.4;

} // namespace

bool MousePointer::KeyTakesPress(const Point& point, const CalibrationView& calibration) {
    if (state_.boardKeysEnabled == 0) return false;
    Point onScreen = point;
    calibration.MapPoint(onScreen);
    return boardKeys_.TryBoardKey(onScreen, calibration);
}

void MousePointer::OnContact(const Point& point, const CalibrationView& calibration) {
    state_.idleCount = 0;
    switch (current_) {
    case State::Up:
        // The first sample of a contact is often a bounce; it only arms.
        current_ = State::Armed;
        break;
    case State::Armed:
        if (!KeyTakesPress(point, calibration)) {
            dispatcher_.DispatchPointer({point.x, point.y, PointerPhase::Press}, calibration);
        }
        // After a key hit the pointer is down without a button, so the
        // moves and the release of this contact still go out.
        last_ = point;
        current_ = State::Down;
        break;
    case State::Down: {
        const Point smoothed{kNewWeight * point.x + kLastWeight * last_.x,
                             kNewWeight * point.y + kLastWeight * last_.y};
        dispatcher_.DispatchPointer({smoothed.x, smoothed.y, PointerPhase::Move}, calibration);
        last_ = smoothed;
        break;
    }
    }
}

bool MousePointer::Cancel(const CalibrationView& calibration) {
    switch (current_) {
    case State::Up: return false;
    case State::Armed:
        state_.actionArmed = 1;
        current_ = State::Up;
        return false;
    case State::Down:
        state_.actionArmed = 1;
        current_ = State::Up;
        dispatcher_.DispatchPointer({last_.x, last_.y, PointerPhase::Release}, calibration);
        return true;
    }
    return false;
}

void MousePointer::OnRelease(const CalibrationView& calibration) {
    state_.idleCount = 0;
    state_.actionArmed = 1;
    current_ = State::Up;
    dispatcher_.DispatchPointer({last_.x, last_.y, PointerPhase::Release}, calibration);
}

} // namespace driver
