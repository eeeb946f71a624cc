#pragma once
// The ticks of the driver window's counting timers. Presses of the counted
// board keys and of the pen buttons are counted on the worker; when their
// timer runs out the window thread turns the counts into single or double
// presses for the drawing application and, for the pen buttons, completes
// them with a click where the pen was when its button was pressed.
//
// The tick of 67 takes the pen counts (and the place of the last press) in
// one step and keeps them for the click of 114, so every press is reported
// exactly once: a press counted after that tick starts a period of its own
// instead of being wiped by the click that completes the previous one.
#include "driver/CalibrationStore.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/PenButtonSettings.h"

#include <functional>
#include <utility>

namespace driver {

inline constexpr unsigned kPenClickDelayMs = 80;

class SupervisionTimer {
public:
    using CalibrationSource = std::function<CalibrationStore::Snapshot()>;

    // `penButtons` is the dialog's copy, re-read when the pen-button tool
    // saves; it is only read here, on the window thread. `calibration` gives
    // the model in force, whose monitor the clicks are converted with; without
    // it the board is the primary screen.
    SupervisionTimer(Desktop& desktop, DriverState& state, const PenButtonSettings& penButtons,
                     CalibrationSource calibration = {})
        : desktop_(desktop),
          state_(state),
          penButtons_(penButtons),
          calibration_(std::move(calibration))
    {}

    // Handles ticks of the counting timers (67, 68 and 114); false for any
    // other id, which the caller handles itself.
    bool OnTick(unsigned timerId);

private:
    // The pen presses a tick of 67 reported, waiting for their click.
    struct PendingPenClick {
        int front = 0;
        int rear = 0;
        int x = 0;
        int y = 0;
    };

    void ResolveLocalPresses();
    void ResolveSocketPresses();
    void ReportFrontPen(int presses, WindowRef drawingApp);
    // False when the presses make no click (the main tool's own command).
    bool ReportRearPen(int presses, WindowRef drawingApp);
    void CompletePenPresses();
    bool MainToolInFront();
    bool ToolWindowInFront();

    Desktop& desktop_;
    DriverState& state_;
    const PenButtonSettings& penButtons_;
    CalibrationSource calibration_;
    PendingPenClick pendingClick_;
};

} // namespace driver
