#pragma once
// Where the camera must see a place of the grid, as the measured points
// nearest it say. A lens bends the picture, so a fit over the whole board
// would miss a place by more than the points around it do: the fit takes the
// measured points within two grid steps of the place first, and reaches
// farther only while those cannot fix a projective map.
#include "calibration/CameraFit.h"
#include "calibration/TargetLayout.h"

#include <array>
#include <optional>
#include <vector>

namespace calibration {

// Measured camera points by target; a target not measured has none.
using GridPoints = std::vector<std::optional<Point>>;

struct GridPrediction {
    Point camera;
    // The camera offsets of one grid step there: to the next column, and to
    // the next row. Columns and rows stand apart by different amounts in the
    // camera's picture, so distances are counted in grid steps.
    Point columnStep, rowStep;
    FitKind kind = FitKind::None;

    // Turns a camera offset into grid steps (a 2 x 2 matrix, row by row).
    std::array<double, 4> ToSteps() const;
    // How many grid steps `point` lies from the prediction.
    double StepsTo(const Point& point) const;
};

// The prediction for grid place (column, row), which may be fractional,
// from the points of `measured` other than target `excluded` (-1: none
// excluded); none when no fit of at least `weakest` can be made.
std::optional<GridPrediction> PredictGridPlace(const TargetLayout& layout, const GridPoints& measured, double column,
                                               double row, int excluded, FitKind weakest);

} // namespace calibration
