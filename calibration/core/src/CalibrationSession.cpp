#include "calibration/CalibrationSession.h"

namespace calibration {

CalibrationSession::CalibrationSession(const TargetLayout& layout, std::uint32_t nowMs)
    : layout_(layout),
      run_(layout.Count(), nowMs,
           [layout](int target, const TargetRun::Points& taken) { return ExpectationFor(layout, target, taken); })
{}

Expectation CalibrationSession::ExpectationFor(const TargetLayout& layout, int target, const GridPoints& taken)
{
    Expectation expectation;
    for (int t = 0; t < layout.Count(); ++t) {
        const auto& point = taken[static_cast<std::size_t>(t)];
        if (t != target && point) expectation.awayFrom.push_back(*point);
    }
    expectation.apart = kMinTargetApart;
    const GridPoint at = layout.GridPointOf(target);
    const auto prediction = PredictGridPlace(layout, taken, at.column, at.row, target, FitKind::Line);
    if (prediction) {
        expectation.where = prediction->camera;
        expectation.toSteps = prediction->ToSteps();
        expectation.within = kPredictionReach;
    }
    return expectation;
}

MeasuredGrid CalibrationSession::Result() const
{
    MeasuredGrid result{layout_.Grid(), {}};
    for (const auto& point : run_.TakenPoints()) result.camera.push_back(point.value_or(Point{}));
    return result;
}

} // namespace calibration
