#pragma once
// Where the calibration grid stands on the board's monitor. The calibration
// program shows its targets here and the driver solves its cells for the
// same places, so both take them from this one function.
#include "driver/Geometry.h"

namespace driver {

// The outer grid points stand this fraction of the screen's width (and of
// its height) inside its edges...
inline constexpr double kScreenMargin = 0.015;
// ...so the grid spans the rest.
inline constexpr double kGridSpan = 1 - 2 * kScreenMargin;

// Screen pixel of grid point (column, row) of a `columns` x `rows` grid
// (each at least 2) on a screen of `width` x `height` pixels. A fractional
// column or row gives the place that far between grid points.
Point ScreenGridPoint(double column, double row, int columns, int rows, int width, int height);

} // namespace driver
