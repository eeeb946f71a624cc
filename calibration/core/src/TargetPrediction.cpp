#include "calibration/TargetPrediction.h"

#include <algorithm>
#include <cmath>

namespace calibration {
namespace {

constexpr int kNearWindow = 2; // grid steps around the place fitted first

std::vector<MeasuredPair> PairsWithin(const TargetLayout& layout, const GridPoints& measured, double column, double row,
                                      int excluded, int window)
{
    std::vector<MeasuredPair> pairs;
    for (int t = 0; t < layout.Count(); ++t) {
        if (t == excluded || !measured[static_cast<std::size_t>(t)]) continue;
        const GridPoint g = layout.GridPointOf(t);
        if (std::fabs(g.column - column) > window || std::fabs(g.row - row) > window) continue;
        pairs.push_back({layout.ScreenPoint(t), *measured[static_cast<std::size_t>(t)]});
    }
    return pairs;
}

// The offset of one step along `step` (columns, rows) at the place;
// none where the fit says nothing (off a Line fit's line).
std::optional<Point> StepAt(const TargetLayout& layout, const CameraFit& fit, double column, double row,
                            double stepColumns, double stepRows)
{
    const auto ahead = fit.Predict(layout.ScreenPointAt(column + stepColumns / 2, row + stepRows / 2));
    const auto behind = fit.Predict(layout.ScreenPointAt(column - stepColumns / 2, row - stepRows / 2));
    if (!ahead || !behind) return std::nullopt;
    return Point{ahead->x - behind->x, ahead->y - behind->y};
}

Point Perpendicular(const Point& p)
{
    return {-p.y, p.x};
}

} // namespace

std::optional<GridPrediction> PredictGridPlace(const TargetLayout& layout, const GridPoints& measured, double column,
                                               double row, int excluded, FitKind weakest)
{
    const int widest = std::max(layout.Grid().columns, layout.Grid().rows);
    CameraFit best;
    for (int window = kNearWindow; window <= std::max(widest, kNearWindow); ++window) {
        const CameraFit fit = CameraFit::Of(PairsWithin(layout, measured, column, row, excluded, window));
        if (fit.Kind() > best.Kind()) best = fit;
        if (best.Kind() == FitKind::Projective) break;
    }
    if (best.Kind() == FitKind::None || best.Kind() < weakest) return std::nullopt;
    const auto camera = best.Predict(layout.ScreenPointAt(column, row));
    if (!camera) return std::nullopt;
    auto columnStep = StepAt(layout, best, column, row, 1, 0);
    auto rowStep = StepAt(layout, best, column, row, 0, 1);
    // A Line fit knows steps along its line only; across it a step counts
    // as long as along it.
    if (!columnStep && rowStep) columnStep = Perpendicular(*rowStep);
    if (!rowStep && columnStep) rowStep = Perpendicular(*columnStep);
    if (!columnStep || !rowStep) return std::nullopt;
    const GridPrediction prediction{*camera, *columnStep, *rowStep, best.Kind()};
    const auto toSteps = prediction.ToSteps();
    for (double v : toSteps)
        if (!std::isfinite(v)) return std::nullopt;
    return prediction;
}

std::array<double, 4> GridPrediction::ToSteps() const
{
    const double det = columnStep.x * rowStep.y - rowStep.x * columnStep.y;
    return {rowStep.y / det, -rowStep.x / det, -columnStep.y / det, columnStep.x / det};
}

double GridPrediction::StepsTo(const Point& point) const
{
    const auto m = ToSteps();
    const double dx = point.x - camera.x, dy = point.y - camera.y;
    return std::hypot(m[0] * dx + m[1] * dy, m[2] * dx + m[3] * dy);
}

} // namespace calibration
