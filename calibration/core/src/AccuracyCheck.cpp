#include "calibration/AccuracyCheck.h"

#include "calibration/TargetPrediction.h"

#include <algorithm>
#include <cmath>

namespace calibration {
namespace {

double CornerInset(int points)
{
    return std::min(0.5, (points - 1) / 4.0);
}

bool IsWhole(double value)
{
    return value == std::floor(value);
}

} // namespace

const char* Name(AccuracyCheck::Verdict verdict)
{
    switch (verdict) {
    case AccuracyCheck::Verdict::Pending: return "Pending";
    case AccuracyCheck::Verdict::Good: return "Good";
    case AccuracyCheck::Verdict::Recalibrate: return "Recalibrate";
    }
    return "?";
}

std::array<Point, kCheckPlaces> CheckGridPlaces(GridSize grid)
{
    const double last = grid.columns - 1, bottom = grid.rows - 1;
    Point centre{last / 2, bottom / 2};
    if (IsWhole(centre.x) && IsWhole(centre.y)) centre.x += 0.5;
    const double ix = CornerInset(grid.columns), iy = CornerInset(grid.rows);
    return {centre, Point{ix, iy}, Point{last - ix, iy}, Point{last - ix, bottom - iy}, Point{ix, bottom - iy}};
}

namespace {

std::vector<Point> FirstPlaces(GridSize grid, int count)
{
    const auto all = CheckGridPlaces(grid);
    return {all.begin(), all.begin() + std::clamp(count, 1, kCheckPlaces)};
}

} // namespace

AccuracyCheck::AccuracyCheck(const TargetLayout& layout, const MeasuredGrid& grid,
                             std::shared_ptr<const driver::CCalibration> model, std::uint32_t nowMs, int places)
    : layout_(layout),
      model_(std::move(model)),
      places_(FirstPlaces(layout.Grid(), places)),
      run_(static_cast<int>(places_.size()), nowMs,
           [layout, measured = GridPoints(grid.camera.begin(), grid.camera.end()),
            places = places_](int place, const TargetRun::Points&) {
               // Where the measured grid says the place is; the same reach
               // as for a grid target tells a wrong touch.
               Expectation expectation;
               const Point at = places[static_cast<std::size_t>(place)];
               const auto prediction = PredictGridPlace(layout, measured, at.x, at.y, -1, FitKind::Projective);
               if (prediction) {
                   expectation.where = prediction->camera;
                   expectation.toSteps = prediction->ToSteps();
                   expectation.within = CalibrationSession::kPredictionReach;
               }
               return expectation;
           })
{}

Point AccuracyCheck::ScreenPlace(int place) const
{
    const Point at = places_[static_cast<std::size_t>(place)];
    return layout_.ScreenPointAt(at.x, at.y);
}

std::optional<double> AccuracyCheck::ErrorPx(int place) const
{
    if (place < 0 || place >= PlaceCount()) return std::nullopt;
    const auto& taken = run_.TakenPoints()[static_cast<std::size_t>(place)];
    if (!taken || !model_) return std::nullopt;
    return ErrorAtPx(place, *taken);
}

double AccuracyCheck::ErrorAtPx(int place, Point camera) const
{
    if (!model_ || place < 0 || place >= PlaceCount()) return INFINITY;
    // As the driver does with every contact of an upside-down camera.
    if (model_->Upright() == 0) camera = driver::TurnedUpsideDown(camera);
    if (!model_->MapPoint(camera)) return INFINITY;
    const Point target = ScreenPlace(place);
    return std::hypot(camera.x - target.x, camera.y - target.y);
}

double AccuracyCheck::WorstErrorPx() const
{
    double worst = 0;
    for (int place = 0; place < PlaceCount(); ++place) worst = std::max(worst, ErrorPx(place).value_or(0));
    return worst;
}

AccuracyCheck::Verdict AccuracyCheck::Result() const
{
    if (run_.CurrentState() != TargetRun::State::Complete) return Verdict::Pending;
    return WorstErrorPx() <= kRecalibrateAbovePx ? Verdict::Good : Verdict::Recalibrate;
}

} // namespace calibration
