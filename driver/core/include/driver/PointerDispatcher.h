#pragma once
// Turns pointer samples in camera units into mouse input: maps them through
// the calibration, presses, moves and releases the left button, and turns a
// press held still for more than 100 move samples into a right click.
#include "driver/CalibrationView.h"
#include "driver/Desktop.h"

namespace driver {

enum class PointerPhase { Release = 0, Press = 1, Move = 2 };

struct PointerSample {
    double x = 0;  // camera units
    double y = 0;
    PointerPhase phase = PointerPhase::Release;
};

class PointerDispatcher {
public:
    static constexpr int kStillRadius = 8;     // pixels on either axis that end stillness
    static constexpr int kHoldSamples = 100;   // still moves before the next one right-clicks

    explicit PointerDispatcher(Desktop& desktop) : desktop_(desktop) {}

    void DispatchPointer(const PointerSample& sample, const CalibrationView& calibration);

    // For tests and diagnostics.
    int HoldCount() const { return holdCount_; }
    ScreenPosition LastPosition() const { return last_; }

private:
    Desktop& desktop_;
    ScreenPosition last_;
    ScreenPosition anchor_;
    int holdCount_ = 0;
    bool releaseSeen_ = false;
};

} // namespace driver
