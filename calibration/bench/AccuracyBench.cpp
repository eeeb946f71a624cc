// How accurate a calibration of each grid size is, on a modelled board
// camera (fakecamera/BoardCameraModel.h) and with a teacher's touches
// (TouchCalibration.h). For each grid it prints the mapping error over a
// dense set of screen points across the whole board (not only the grid
// points), RMS and worst, in pixels of a 1024 x 768 board, with exact
// touches and with touch noise; the accuracy check's worst error; and the
// figures behind the core's bounds:
//
//   miss     the worst distance of a target from where the points measured
//            before it predicted it, in grid steps
//            (CalibrationSession::kPredictionReach must lie above it)
//   nbr      the nearest a neighbouring target came to that prediction, in
//            grid steps (kPredictionReach must lie below it)
//   stray    the worst distance of a point from the fit of its neighbours,
//            in grid steps (kStrayReach must lie above it)
//
// Arguments: --trials N (noisy calibrations per grid, default 20), --step PX
// (spacing of the dense screen points, default 8), --grids 2,3,4,5,6,8,10
// (square grids), --k1 -0.1,-0.15,-0.2 (lenses, one table each).
#include "BenchArguments.h"
#include "TouchCalibration.h"

#include "fakecamera/BoardCameraModel.h"

#include "calibration/AccuracyCheck.h"
#include "calibration/CalibrationSession.h"
#include "calibration/GridChecks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using calibration::AccuracyCheck;
using calibration::CalibrationSession;
using calibration_bench::kBoard;
using calibration_bench::TouchFigures;
using fakecamera::BoardCameraModel;

struct Options {
    int trials = 20;
    int step = 8;
    std::vector<int> grids = {2, 3, 4, 5, 6, 8, 10};
    std::vector<double> lenses = {-0.1, -0.15, -0.2};
};

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (const calibration_bench::NamedArgument& argument : calibration_bench::NamedArguments(argc, argv)) {
        if (argument.name == "--trials") {
            options.trials = std::max(1, std::atoi(argument.value.c_str()));
        } else if (argument.name == "--step") {
            options.step = std::max(1, std::atoi(argument.value.c_str()));
        } else if (argument.name == "--k1") {
            options.lenses = calibration_bench::NumberList(argument.value);
        } else if (argument.name == "--grids") {
            options.grids = calibration_bench::GridList(argument.value);
        } else {
            calibration_bench::NoteUnknown(argument);
        }
    }
    return options;
}

void PrintTable(const Options& options, double k1, int& failures)
{
    const BoardCameraModel camera({kBoard.width, kBoard.height}, {k1, 0});
    std::printf("Lens k1 %.2f:\n", k1);
    std::printf("%-6s %7s | %9s %7s | %9s %7s %9s %7s | %5s %5s %5s | %7s %6s\n", "grid", "targets", "exact RMS",
                "worst", "noisy RMS", "worst", "check max", "recal", "miss", "nbr", "stray", "refused", "failed");
    for (int size : options.grids) {
        const calibration_bench::TouchTrials trials =
            calibration_bench::CalibrateGridByTouch(size, camera, options.trials, options.step);
        const TouchFigures& exact = trials.exact;
        const TouchFigures& noisy = trials.noisy;
        char name[16];
        std::snprintf(name, sizeof name, "%dx%d", size, size);
        std::printf("%-6s %7d | %9.2f %7.2f | %9.2f %7.2f %9.2f %3d/%-3d | %5.2f %5.2f %5.2f | %7d %6d\n", name,
                    size * size, exact.screen.Rms(), exact.screen.worst, noisy.screen.Rms(), noisy.screen.worst,
                    noisy.checkWorst, noisy.checkRecalibrate, noisy.runs, std::max(exact.miss, noisy.miss),
                    std::min(exact.neighbour, noisy.neighbour), std::max(exact.stray, noisy.stray),
                    exact.refused + noisy.refused, exact.failed + noisy.failed);
        failures += exact.failed + noisy.failed;
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    std::printf("Calibration accuracy: %d x %d board, 320 x 240 camera, screen points every %d px, exact touches "
                "and %d noisy calibration(s) per grid (jitter %.0f, drift %.0f camera units); errors in pixels\n\n",
                kBoard.width, kBoard.height, options.step, options.trials, calibration_bench::kTouchNoise.jitter,
                calibration_bench::kTouchNoise.drift);
    int failures = 0;
    for (double k1 : options.lenses) PrintTable(options, k1, failures);
    std::printf("Default grid %dx%d; the check asks to recalibrate above %.1f px; a touch or a point may lie %.2f "
                "(prediction) and %.2f (stray) grid steps off.\n",
                calibration::kDefaultGrid.columns, calibration::kDefaultGrid.rows, AccuracyCheck::kRecalibrateAbovePx,
                CalibrationSession::kPredictionReach, calibration::kStrayReach);
    return failures == 0 ? 0 : 1;
}
