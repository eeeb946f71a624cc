#pragma once
// The calibration a settings text holds now, as the accuracy check needs it
// when it checks without calibrating first: the grid's camera points as the
// file keeps them (never turned) and the driver's own model of that text,
// built by the very load the driver runs on the file.
#include "calibration/CalibrationSession.h"
#include "calibration/TargetLayout.h"

#include "driver/Calibration.h"

#include <memory>
#include <string_view>

namespace calibration {

struct CalibrationInText {
    MeasuredGrid grid;
    // Null unless Usable().
    std::shared_ptr<const driver::CCalibration> model;
    bool useKey = false; // [hardware] USE_KEY is on

    // A grid of a size the file allows that the driver's load finds sound.
    bool Usable() const { return model != nullptr; }
};

// `screen`: the board's monitor, whose size the driver loads the grid for.
CalibrationInText ReadCalibrationInText(std::string_view text, ScreenSize screen);

// Whether [hardware] USE_KEY is on in the text.
bool UseKeyIn(std::string_view text);

} // namespace calibration
