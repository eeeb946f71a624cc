#pragma once
// A calibration by a teacher's touches (SimulatedTouch.h) on a modelled
// board camera: the targets taken by the core's own target taking, the grid
// checked and planned as the program writes it, loaded through the driver's
// CCalibration, and then the accuracy check touched.
#include "ScreenError.h"
#include "SimulatedTouch.h"

#include "fakecamera/BoardCameraModel.h"

#include "calibration/TargetLayout.h"

#include <cmath>
#include <random>

namespace calibration_bench {

struct TouchFigures {
    ErrorFigures screen; // the mapping over the dense screen points, pixels
    double checkWorst = 0;
    int checkRecalibrate = 0;
    // The figures behind the core's bounds, in grid steps: the farthest a
    // target lay from its prediction, the nearest a neighbour came to it,
    // the farthest a point lay from the fit of its neighbours.
    double miss = 0;
    double neighbour = INFINITY;
    double stray = 0;
    int refused = 0;
    int failed = 0; // calibrations that could not be finished or written
    int runs = 0;
};

// One calibration of `grid`, its figures added to `figures`; the dense
// screen points are `step` pixels apart.
void CalibrateByTouch(calibration::GridSize grid, const fakecamera::BoardCameraModel& camera, const TouchNoise& noise,
                      std::mt19937& random, int step, TouchFigures& figures);

struct TouchTrials {
    TouchFigures exact; // one calibration with exact touches
    TouchFigures noisy; // `trials` with kTouchNoise
};

// A grid's calibrations by touch, the same for the same arguments (the
// noise is seeded from the grid's size).
TouchTrials CalibrateGridByTouch(int size, const fakecamera::BoardCameraModel& camera, int trials, int step);

} // namespace calibration_bench
