#include "driver/MousePointer.h"

#include "driver/MouseInput.h"
#include "driver/Truncate.h"

#include <cstdint>
#include <cstdlib>

namespace driver {
namespace {

bool StillNear(const ScreenPosition& a, const ScreenPosition& b, int radius)
{
    // 64-bit differences: saturated positions must not overflow here either.
    const std::int64_t dx = std::llabs(static_cast<std::int64_t>(a.x) - b.x);
    const std::int64_t dy = std::llabs(static_cast<std::int64_t>(a.y) - b.y);
    return dx < radius && dy < radius;
}

} // namespace

const char* Name(PointerEvent event)
{
    switch (event) {
    case PointerEvent::Contact: return "contact";
    case PointerEvent::Release: return "release";
    case PointerEvent::Silence: return "silence";
    case PointerEvent::Cancel: return "cancel";
    }
    return "?";
}

const char* Name(MousePointer::State state)
{
    switch (state) {
    case MousePointer::State::Up: return "Up";
    case MousePointer::State::Armed: return "Armed";
    case MousePointer::State::Pressed: return "Pressed";
    case MousePointer::State::KeyHeld: return "KeyHeld";
    }
    return "?";
}

const char* Name(MousePointer::Hold hold)
{
    switch (hold) {
    case MousePointer::Hold::Counting: return "Counting";
    case MousePointer::Hold::Disarmed: return "Disarmed";
    }
    return "?";
}

MousePointer::Step MousePointer::Handle(PointerEvent event, const Point& point, std::uint32_t now,
                                        const CalibrationView& calibration)
{
    Step step{state_, state_};
    if (event == PointerEvent::Contact || event == PointerEvent::Release) {
        shared_.idleCount = 0;
        lastSampleAt_ = now;
    }
    switch (state_) {
    case State::Up: state_ = OnUp(event, step, calibration); break;
    case State::Armed: state_ = OnArmed(event, point, step, calibration); break;
    case State::Pressed:
    case State::KeyHeld: state_ = OnDown(event, point, step, calibration); break;
    }
    step.to = state_;
    if (trace_) trace_->Transition("mouse", Name(step.from), Name(event), Name(step.to));
    return step;
}

MousePointer::Step MousePointer::Tick(std::uint32_t now, const CalibrationView& calibration)
{
    if (state_ == State::Up || now - lastSampleAt_ <= kSilenceMs) return Step{state_, state_};
    return Handle(PointerEvent::Silence, Point{}, now, calibration);
}

// A release goes out even when nothing was pressed: whatever the program
// under the pen thinks is down comes up.
MousePointer::State MousePointer::OnUp(PointerEvent event, Step&, const CalibrationView& calibration)
{
    switch (event) {
    case PointerEvent::Contact: return State::Armed;
    case PointerEvent::Release: Release(calibration); return State::Up;
    case PointerEvent::Silence:
    case PointerEvent::Cancel: return State::Up;
    }
    return State::Up;
}

MousePointer::State MousePointer::OnArmed(PointerEvent event, const Point& point, Step& step,
                                          const CalibrationView& calibration)
{
    switch (event) {
    case PointerEvent::Contact:
        last_ = point;
        smoothing_->Start(point, lastSampleAt_, kCameraUnit);
        if (KeyTakesPress(point, calibration)) {
            // Down without a button: this contact's moves and release still go out.
            step.keyTookPress = true;
            return State::KeyHeld;
        }
        DispatchPointer({point.x, point.y, PointerPhase::Press}, calibration);
        return State::Pressed;
    case PointerEvent::Release: Release(calibration); return State::Up;
    case PointerEvent::Silence:
    case PointerEvent::Cancel:
        // Nothing was pressed; the debounce and the one-shot actions start over.
        shared_.actionArmed = true;
        return State::Up;
    }
    return State::Up;
}

MousePointer::State MousePointer::OnDown(PointerEvent event, const Point& point, Step& step,
                                         const CalibrationView& calibration)
{
    switch (event) {
    case PointerEvent::Contact: Move(point, calibration); return state_;
    case PointerEvent::Release: Release(calibration); return State::Up;
    case PointerEvent::Silence:
    case PointerEvent::Cancel:
        Release(calibration);
        step.madeUpRelease = true;
        return State::Up;
    }
    return State::Up;
}

bool MousePointer::KeyTakesPress(const Point& point, const CalibrationView& calibration)
{
    if (shared_.boardKeysEnabled == 0) return false;
    Point onScreen = point;
    calibration.MapPoint(onScreen);
    return boardKeys_.TryBoardKey(onScreen, calibration);
}

void MousePointer::Move(const Point& point, const CalibrationView& calibration)
{
    if (!smoothing_->Next(point, lastSampleAt_, last_)) return;
    DispatchPointer({last_.x, last_.y, PointerPhase::Move}, calibration);
}

void MousePointer::Release(const CalibrationView& calibration)
{
    shared_.actionArmed = true;
    DispatchPointer({last_.x, last_.y, PointerPhase::Release}, calibration);
}

void MousePointer::DispatchPointer(const PointerSample& sample, const CalibrationView& calibration)
{
    if (!mouseOutput_) return;
    Point point{sample.x, sample.y};
    const bool onBoard = calibration.MapPoint(point);
    lastPosition_ = {TruncateToInt(point.x), TruncateToInt(point.y)};

    // The board's pixels count stillness; the desktop's go out.
    const BoardScreen& board = calibration.Board();
    const MouseInput mouse(desktop_, board, MouseInput::Reach::Board);
    const ScreenPosition at = board.ToDesktop(lastPosition_);
    if (!onBoard) {
        // Leaving the board drops whatever the pointer was doing. A release
        // is a release wherever it lands: it ends the hold too.
        mouse.MouseLeftUp(at.x, at.y);
        if (sample.phase == PointerPhase::Release) hold_ = Hold::Disarmed;
        return;
    }

    switch (sample.phase) {
    case PointerPhase::Release:
        mouse.MouseLeftUp(at.x, at.y);
        hold_ = Hold::Disarmed;
        break;
    case PointerPhase::Press:
        mouse.MouseLeftDownAt(at.x, at.y);
        hold_ = Hold::Counting;
        anchor_ = lastPosition_;
        holdCount_ = 0;
        break;
    case PointerPhase::Move:
        // Stillness is measured against the press point, not the last move.
        holdCount_ = StillNear(lastPosition_, anchor_, kStillRadius) ? holdCount_ + 1 : 0;
        if (holdCount_ > kHoldSamples && hold_ == Hold::Counting) {
            mouse.MouseLeftDownAt(at.x, at.y);
            mouse.MouseLeftUp(at.x, at.y);
            mouse.MouseRightClickAt(at.x, at.y);
            holdCount_ = 0;
        }
        mouse.MouseMoveTo(at.x, at.y);
        break;
    }
}

} // namespace driver
