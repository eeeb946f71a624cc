#include "TouchCalibration.h"

#include "calibration/AccuracyCheck.h"
#include "calibration/CalibrationSession.h"
#include "calibration/GridChecks.h"
#include "calibration/TargetPrediction.h"
#include "calibration/WritePlan.h"

#include <algorithm>

namespace calibration_bench {
namespace {

using calibration::AccuracyCheck;
using calibration::CalibrationSession;
using calibration::MeasuredGrid;
using calibration::TargetLayout;
using calibration::TargetRun;
using driver::Point;
using fakecamera::BoardCameraModel;

constexpr std::uint32_t kWalkMs = 1500; // from one target to the next
constexpr int kMostTries = 5;

// One touch of `camera`, retried while it is refused; false when it never
// was taken.
template <typename Session>
bool Touch(Session& session, const Point& camera, const TouchNoise& noise, std::mt19937& random, std::uint32_t& now,
           TouchFigures& figures)
{
    for (int attempt = 0; attempt < kMostTries; ++attempt) {
        for (const calibration::PenSample& sample : RestingTouch(camera, now, noise, random)) {
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
                    TouchFigures& figures)
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

void NoteStrays(const TargetLayout& layout, const MeasuredGrid& grid, TouchFigures& figures)
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

} // namespace

void CalibrateByTouch(calibration::GridSize grid, const BoardCameraModel& camera, const TouchNoise& noise,
                      std::mt19937& random, int step, TouchFigures& figures)
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
    // A touch is taken where the teacher's pen rests, the target's own point.
    NoteMappingError(
        *plan.model, [&camera](const Point& screen) { return camera.CameraPoint(screen); }, step, figures.screen);

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

TouchTrials CalibrateGridByTouch(int size, const BoardCameraModel& camera, int trials, int step)
{
    const calibration::GridSize grid{size, size};
    std::mt19937 random(static_cast<unsigned>(size) * 7919u);
    TouchTrials figures;
    CalibrateByTouch(grid, camera, kNoNoise, random, step, figures.exact);
    for (int trial = 0; trial < trials; ++trial)
        CalibrateByTouch(grid, camera, kTouchNoise, random, step, figures.noisy);
    return figures;
}

} // namespace calibration_bench
