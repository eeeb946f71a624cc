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
