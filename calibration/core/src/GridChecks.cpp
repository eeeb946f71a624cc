#include "calibration/GridChecks.h"

#include "calibration/TargetPrediction.h"

#include "driver/Calibration.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace calibration {
namespace {

// No real cell is thinner than this (camera units squared): corners on
// one line, or two at one spot, are a fold too.
constexpr double kFlatCell = 1;

double Cross(const Point& a, const Point& b, const Point& c)
{
    return (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
}

// +1 or -1 for a convex cell turning that way, 0 for a folded one.
int Orientation(const Point corners[4])
{
    int sign = 0;
    for (int k = 0; k < 4; ++k) {
        const double turn = Cross(corners[k], corners[(k + 1) % 4], corners[(k + 2) % 4]);
        const int s = turn > kFlatCell ? 1 : turn < -kFlatCell ? -1 : 0;
        if (s == 0 || (sign != 0 && s != sign)) return 0;
        sign = s;
    }
    return sign;
}

// How many grid steps a point lies from where its neighbours put it;
// negative when they cannot say.
double StraySteps(const TargetLayout& layout, const GridPoints& points, int target)
{
    const GridPoint at = layout.GridPointOf(target);
    const auto prediction = PredictGridPlace(layout, points, at.column, at.row, target, FitKind::Projective);
    if (!prediction) return -1;
    return prediction->StepsTo(*points[static_cast<std::size_t>(target)]);
}

// The most grid steps any point lies from where its neighbours put it.
double WorstSteps(const TargetLayout& layout, const GridPoints& points)
{
    double worst = 0;
    for (int t = 0; t < layout.Count(); ++t)
        if (points[static_cast<std::size_t>(t)]) worst = std::max(worst, StraySteps(layout, points, t));
    return worst;
}

// The points beyond kStrayReach, the worst first; the few worst only, as
// each is weighed by a fit of every point.
std::vector<int> Suspects(const TargetLayout& layout, const GridPoints& points)
{
    constexpr std::size_t kMostSuspects = 8;
    std::vector<std::pair<double, int>> beyond;
    for (int t = 0; t < layout.Count(); ++t) {
        if (!points[static_cast<std::size_t>(t)]) continue;
        const double steps = StraySteps(layout, points, t);
        if (steps > kStrayReach) beyond.push_back({steps, t});
    }
    std::sort(beyond.begin(), beyond.end(), std::greater<>());
    std::vector<int> suspects;
    for (std::size_t i = 0; i < beyond.size() && i < kMostSuspects; ++i) suspects.push_back(beyond[i].second);
    return suspects;
}

} // namespace

const char* Name(GridFault fault)
{
    switch (fault) {
    case GridFault::OutsideCamera: return "OutsideCamera";
    case GridFault::FoldedCell: return "FoldedCell";
    case GridFault::StrayPoint: return "StrayPoint";
    case GridFault::RefusedByDriver: return "RefusedByDriver";
    case GridFault::MapsElsewhere: return "MapsElsewhere";
    case GridFault::UnusableKey: return "UnusableKey";
    }
    return "?";
}

std::vector<GridFinding> FindPointsOutsideCamera(const TargetLayout& layout, const MeasuredGrid& grid)
{
    GridFinding finding{GridFault::OutsideCamera, {}};
    for (int t = 0; t < layout.Count(); ++t) {
        const Point& p = grid.camera[static_cast<std::size_t>(t)];
        // Written to catch NaN too.
        if (!(p.x >= 0 && p.x <= driver::CCalibration::kCameraWidth && p.y >= 0 &&
              p.y <= driver::CCalibration::kCameraHeight))
            finding.targets.push_back(t);
    }
    if (finding.targets.empty()) return {};
    return {finding};
}

std::vector<GridFinding> FindFoldedCells(const TargetLayout& layout, const MeasuredGrid& grid)
{
    struct Cell {
        std::vector<int> corners;
        int orientation;
    };
    std::vector<Cell> cells;
    int turningRight = 0, turningLeft = 0;
    for (int i = 0; i + 1 < layout.Grid().columns; ++i) {
        for (int j = 0; j + 1 < layout.Grid().rows; ++j) {
            const std::vector<int> corners = {layout.TargetAt({i, j}), layout.TargetAt({i + 1, j}),
                                              layout.TargetAt({i + 1, j + 1}), layout.TargetAt({i, j + 1})};
            Point points[4];
            for (int k = 0; k < 4; ++k) points[k] = grid.camera[static_cast<std::size_t>(corners[k])];
            const int orientation = Orientation(points);
            turningRight += orientation > 0;
            turningLeft += orientation < 0;
            cells.push_back({corners, orientation});
        }
    }
    // The way most cells turn is the camera's; a mirror-image camera is no
    // fault as long as all cells agree.
    const int usual = turningRight >= turningLeft ? 1 : -1;
    std::vector<GridFinding> findings;
    for (const Cell& cell : cells)
        if (cell.orientation != usual) findings.push_back({GridFault::FoldedCell, cell.corners});
    return findings;
}

std::vector<GridFinding> FindStrayPoints(const TargetLayout& layout, const MeasuredGrid& grid)
{
    GridPoints points(grid.camera.begin(), grid.camera.end());
    std::vector<int> strays;
    // More strays than half the grid say nothing about which points are good.
    while (static_cast<int>(strays.size()) * 2 < layout.Count()) {
        const std::vector<int> suspects = Suspects(layout, points);
        if (suspects.empty()) break;
        // A stray point also drags the fits of the good points around it,
        // most of all where they extrapolate (at the grid's corners), so
        // the worst residual need not be the stray's own. The stray is the
        // suspect whose removal leaves the others straightest.
        int stray = suspects.front();
        double straightest = INFINITY;
        for (int suspect : suspects) {
            GridPoints without = points;
            without[static_cast<std::size_t>(suspect)].reset();
            const double worst = WorstSteps(layout, without);
            if (worst < straightest) {
                straightest = worst;
                stray = suspect;
            }
        }
        strays.push_back(stray);
        points[static_cast<std::size_t>(stray)].reset();
    }
    // Judged again by the good points alone, a suspect set aside on the way
    // may turn out to be one of them.
    GridFinding finding{GridFault::StrayPoint, {}};
    for (int stray : strays) {
        GridPoints judged = points;
        judged[static_cast<std::size_t>(stray)] = grid.camera[static_cast<std::size_t>(stray)];
        if (StraySteps(layout, judged, stray) > kStrayReach) finding.targets.push_back(stray);
    }
    if (finding.targets.empty()) return {};
    std::sort(finding.targets.begin(), finding.targets.end());
    return {finding};
}

} // namespace calibration
