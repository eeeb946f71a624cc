// How accurate a calibration of each grid size is, on a modelled board
// camera (BoardCameraModel.h) and with a teacher's touches (SimulatedTouch.h)
// taken by the core's own target taking, checked and written as the program
// does, then loaded through the driver's CCalibration. For each grid it
// prints the mapping error over a dense set of screen points across the
// whole board (not only the grid points), RMS and worst, in pixels of a
// 1024 x 768 board, with exact touches and with touch noise; the accuracy
// check's worst error; and the figures behind the core's bounds:
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
#include "BoardCameraModel.h"
#include "SimulatedTouch.h"

#include "calibration/AccuracyCheck.h"
#include "calibration/CalibrationSession.h"
#include "calibration/GridChecks.h"
#include "calibration/TargetPrediction.h"
#include "calibration/WritePlan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using calibration::AccuracyCheck;
using calibration::CalibrationSession;
using calibration::GridSize;
using calibration::MeasuredGrid;
using calibration::TargetLayout;
using calibration::TargetRun;
using calibration_bench::BoardCameraModel;
using calibration_bench::TouchNoise;
using driver::Point;

constexpr driver::ScreenSize kBoard{1024, 768};
constexpr std::uint32_t kWalkMs = 1500; // from one target to the next
constexpr int kMostTries = 5;

struct Options {
    int trials = 20;
    int step = 8;
    std::vector<int> grids = {2, 3, 4, 5, 6, 8, 10};
    std::vector<double> lenses = {-0.1, -0.15, -0.2};
};

struct Figures {
    double sumSquares = 0;
    long count = 0;
    double worst = 0;
    double checkWorst = 0;
    int checkRecalibrate = 0;
    double miss = 0;
    double neighbour = INFINITY;
    double stray = 0;
    int refused = 0;
    int failed = 0; // calibrations that could not be finished or written
    int runs = 0;

    double Rms() const { return count > 0 ? std::sqrt(sumSquares / count) : NAN; }
};

double Distance(const Point& a, const Point& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// One touch of `camera`, retried while it is refused; false when it never
// was taken.
template <typename Session>
bool Touch(Session& session, const Point& camera, const TouchNoise& noise, std::mt19937& random, std::uint32_t& now,
           Figures& figures)
{
    for (int attempt = 0; attempt < kMostTries; ++attempt) {
        for (const calibration::PenSample& sample : calibration_bench::RestingTouch(camera, now, noise, random)) {
            const TargetRun::Step step = session.OnSample(sample);
            now = sample.timeMs;
            if (step.what == TargetRun::Happening::Refused) ++figures.refused;
            if (step.what == TargetRun::Happening::Taken || step.what == TargetRun::Happening::Completed) {
                now += kWalkMs;
                return true;
            }
        }
        now += kWalkMs;
    }
    return false;
}

void NotePrediction(const TargetLayout& layout, const TargetRun& run, const BoardCameraModel& camera, int target,
                    Figures& figures)
{
    const calibration::Expectation expectation = CalibrationSession::ExpectationFor(layout, target, run.TakenPoints());
    if (!expectation.where) return;
    figures.miss = std::max(figures.miss, expectation.OffsetOf(camera.CameraPoint(layout.ScreenPoint(target))));
    const calibration::GridPoint at = layout.GridPointOf(target);
    for (const calibration::GridPoint n : {calibration::GridPoint{at.column + 1, at.row},
                                           {at.column - 1, at.row},
                                           {at.column, at.row + 1},
                                           {at.column, at.row - 1}}) {
        if (!layout.Contains(n)) continue;
        const Point neighbour = camera.CameraPoint(layout.ScreenPoint(layout.TargetAt(n)));
        figures.neighbour = std::min(figures.neighbour, expectation.OffsetOf(neighbour));
    }
}

void NoteStrays(const TargetLayout& layout, const MeasuredGrid& grid, Figures& figures)
{
    const calibration::GridPoints points(grid.camera.begin(), grid.camera.end());
    for (int t = 0; t < layout.Count(); ++t) {
        const calibration::GridPoint at = layout.GridPointOf(t);
        const auto prediction =
            calibration::PredictGridPlace(layout, points, at.column, at.row, t, calibration::FitKind::Projective);
        if (prediction)
            figures.stray = std::max(figures.stray, prediction->StepsTo(grid.camera[static_cast<std::size_t>(t)]));
    }
}

void NoteMappingError(const driver::CCalibration& model, const BoardCameraModel& camera, int step, Figures& figures)
{
    for (int y = step / 2; y <= kBoard.height; y += step) {
        for (int x = step / 2; x <= kBoard.width; x += step) {
            const Point screen{static_cast<double>(x), static_cast<double>(y)};
            Point p = camera.CameraPoint(screen);
            if (model.Upright() == 0) p = driver::TurnedUpsideDown(p);
            const int cell = model.CellAt(p);
            // Off the calibrated screen still counts as the mapping puts it.
            const double error =
                cell >= 0 && (model.MapInCell(cell, p) || std::isfinite(p.x)) ? Distance(p, screen) : INFINITY;
            figures.sumSquares += error * error;
            ++figures.count;
            figures.worst = std::max(figures.worst, error);
        }
    }
}

void Calibrate(GridSize grid, const BoardCameraModel& camera, const TouchNoise& noise, std::mt19937& random, int step,
               Figures& figures)
{
    ++figures.runs;
    const TargetLayout layout(grid, kBoard);
    std::uint32_t now = 1000;
    CalibrationSession session(layout, now);
    while (session.Run().CurrentState() == TargetRun::State::Measuring) {
        const int target = session.Run().CurrentTarget();
        NotePrediction(layout, session.Run(), camera, target, figures);
        if (!Touch(session, camera.CameraPoint(layout.ScreenPoint(target)), noise, random, now, figures)) {
            ++figures.failed;
            return;
        }
    }
    const MeasuredGrid measured = session.Result();
    NoteStrays(layout, measured, figures);
    const calibration::WritePlan plan = calibration::PlanSettingsWrite("", {measured, std::nullopt}, kBoard);
    if (!plan.Sound()) {
        ++figures.failed;
        return;
    }
    NoteMappingError(*plan.model, camera, step, figures);

    AccuracyCheck check(layout, measured, plan.model, now);
    for (int place = 0; place < calibration::kCheckPlaces; ++place) {
        if (!Touch(check, camera.CameraPoint(check.ScreenPlace(place)), noise, random, now, figures)) {
            ++figures.failed;
            return;
        }
    }
    figures.checkWorst = std::max(figures.checkWorst, check.WorstErrorPx());
    if (check.Result() == AccuracyCheck::Verdict::Recalibrate) ++figures.checkRecalibrate;
}

std::vector<std::string> SplitList(const std::string& list)
{
    std::vector<std::string> items;
    std::stringstream stream(list);
    std::string item;
    while (std::getline(stream, item, ',')) items.push_back(item);
    return items;
}

// "--name value" or "--name=value"; Google Benchmark's own flags, which
// `make bench` gives every benchmark, are let through.
Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (name.rfind("--benchmark", 0) == 0) continue;
        std::string value;
        const std::size_t eq = name.find('=');
        if (eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        } else if (i + 1 < argc) {
            value = argv[++i];
        }
        if (name == "--trials") {
            options.trials = std::max(1, std::atoi(value.c_str()));
        } else if (name == "--step") {
            options.step = std::max(1, std::atoi(value.c_str()));
        } else if (name == "--k1") {
            options.lenses.clear();
            for (const std::string& k1 : SplitList(value)) options.lenses.push_back(std::atof(k1.c_str()));
        } else if (name == "--grids") {
            options.grids.clear();
            for (const std::string& size : SplitList(value))
                options.grids.push_back(
                    std::clamp(std::atoi(size.c_str()), calibration::kMinGridPoints, calibration::kMaxGridPoints));
        } else {
            std::fprintf(stderr, "unknown argument %s\n", name.c_str());
        }
    }
    return options;
}

void PrintTable(const Options& options, double k1, int& failures)
{
    const BoardCameraModel camera(kBoard, {k1, 0});
    std::printf("Lens k1 %.2f:\n", k1);
    std::printf("%-6s %7s | %9s %7s | %9s %7s %9s %7s | %5s %5s %5s | %7s %6s\n", "grid", "targets", "exact RMS",
                "worst", "noisy RMS", "worst", "check max", "recal", "miss", "nbr", "stray", "refused", "failed");
    for (int size : options.grids) {
        const GridSize grid{size, size};
        std::mt19937 random(static_cast<unsigned>(size) * 7919u);
        Figures exact, noisy;
        Calibrate(grid, camera, calibration_bench::kNoNoise, random, options.step, exact);
        for (int trial = 0; trial < options.trials; ++trial)
            Calibrate(grid, camera, calibration_bench::kTouchNoise, random, options.step, noisy);
        char name[16];
        std::snprintf(name, sizeof name, "%dx%d", size, size);
        std::printf("%-6s %7d | %9.2f %7.2f | %9.2f %7.2f %9.2f %3d/%-3d | %5.2f %5.2f %5.2f | %7d %6d\n", name,
                    size * size, exact.Rms(), exact.worst, noisy.Rms(), noisy.worst, noisy.checkWorst,
                    noisy.checkRecalibrate, noisy.runs, std::max(exact.miss, noisy.miss),
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
