#pragma once
// The mouse pointer: contacts routed to it become presses, smoothed moves and
// releases through the pointer dispatcher.
//
//   state  | contact sample                          | release sample
//   -------+-----------------------------------------+------------------------
//   Up     | dropped (debounce) -> Armed             | release -> Up
//   Armed  | board-key test, press unless a key hit  | release -> Up
//          | -> Down                                 |
//   Down   | move to 0.6 new + 0.4 last -> Down      | release -> Up
//
// Every contact and release resets the idle count; every release re-arms
// the one-shot actions, and is dispatched even when the pointer was up.
//
// A contact whose release never comes (the camera service died mid-stroke,
// the routing changed, the driver closes) is ended by Cancel: a release
// made up by the driver, acting on the state like a real one.
#include "driver/BoardKeyTest.h"
#include "driver/CalibrationView.h"
#include "driver/DriverState.h"
#include "driver/PointerDispatcher.h"

namespace driver {

class MousePointer {
public:
    enum class State { Up, Armed, Down };

    MousePointer(DriverState& state, BoardKeyTest& boardKeys, PointerDispatcher& dispatcher)
        : state_(state), boardKeys_(boardKeys), dispatcher_(dispatcher) {}

    // `point` in camera units.
    void OnContact(const Point& point, const CalibrationView& calibration);
    void OnRelease(const CalibrationView& calibration);
    // Down: a release at the last point; Armed: back to Up with nothing
    // injected; Up: nothing. True when a release was injected.
    bool Cancel(const CalibrationView& calibration);

    State CurrentState() const { return current_; }

private:
    bool KeyTakesPress(const Point& point, const CalibrationView& calibration);

    DriverState& state_;
    BoardKeyTest& boardKeys_;
    PointerDispatcher& dispatcher_;
    State current_ = State::Up;
    Point last_;
};

} // namespace driver
