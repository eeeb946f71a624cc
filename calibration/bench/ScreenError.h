#pragma once
// How far a loaded calibration maps the camera's view of the board from
// where it should: over a dense set of screen points across the whole
// board (not only the grid points), in pixels of a 1024 x 768 board.
#include "driver/Calibration.h"
#include "driver/Geometry.h"
#include "driver/Desktop.h"

#include <cmath>
#include <functional>

namespace calibration_bench {

inline constexpr driver::ScreenSize kBoard{1024, 768};

struct ErrorFigures {
    double sumSquares = 0;
    long count = 0;
    double worst = 0;

    void Add(double error);
    double Rms() const { return count > 0 ? std::sqrt(sumSquares / count) : NAN; }
};

// Where the camera reports a pen that the mapping should put at `screen`.
using CameraView = std::function<driver::Point(const driver::Point& screen)>;

// The screen points (step / 2 + k step on both axes) through `view` and
// `model`, each one's distance from where it should land added to `figures`;
// a point the model leaves off the calibrated screen counts as infinitely far.
void NoteMappingError(const driver::CCalibration& model, const CameraView& view, int step, ErrorFigures& figures);

} // namespace calibration_bench
