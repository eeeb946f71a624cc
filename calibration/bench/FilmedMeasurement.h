#pragma once
// The automatic calibration's measurement on a filmed board, frame by frame
// on a simulated clock at 30 frames a second: the window paints each
// pattern the measurement asks for (PatternScreen.h) the moment a frame has
// settled the one before, as Kalmeno's window does, and says so
// (OnPatternShown); the fake camera films the screen as it is at each frame
// (fakecamera::FilmCamera: the renderer and its delay line), and each frame,
// made grey as the window's frame thread makes it, goes to the measurement,
// then the clock's tick.
#include "calibration/CameraMeasurement.h"
#include "calibration/TargetLayout.h"

#include "fakecamera/FilmSettings.h"

#include <cstdint>
#include <vector>

namespace calibration_bench {

inline constexpr double kFilmFrameMs = 1000.0 / 30;

struct FilmedMeasurement {
    calibration::CameraMeasurement::State state = calibration::CameraMeasurement::State::Measuring;
    calibration::CameraProblem problem = calibration::CameraProblem::None;
    int problemTarget = -1;
    calibration::MeasuredGrid grid; // camera units, by target
    // Where the camera truly sees each target's own place (its disc is
    // painted on the nearest whole pixel), by target.
    std::vector<driver::Point> truth;
    std::uint32_t elapsedMs = 0; // the measurement's own, from its start to its end
    int frames = 0;
};

// Measures `grid` on a board of `settings.Screen()` filmed as `settings`
// say (a 320 x 240 camera picture).
FilmedMeasurement MeasureOnFilm(calibration::GridSize grid, const fakecamera::FilmSettings& settings);

} // namespace calibration_bench
