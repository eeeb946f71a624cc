#pragma once
// The calibration's targets on the board's monitor: a grid of columns x rows
// points, each shown exactly where the driver's screen grid puts it, in the
// order the settings file stores them (column by column, each column from
// the top down).
//
// A camera hanging upside down changes nothing here. The order is by screen
// position; the settings file holds the camera's own, unturned points, and
// the driver decides the turn from them and turns them when it loads them.
#include "driver/Calibration.h"
#include "driver/Desktop.h"
#include "driver/Geometry.h"

namespace calibration {

using driver::Point;
using driver::ScreenSize;

struct GridSize {
    int columns = 0;
    int rows = 0;
    bool operator==(const GridSize& o) const { return columns == o.columns && rows == o.rows; }
    bool operator!=(const GridSize& o) const { return !(*this == o); }
};

// The sizes the settings file allows on each axis.
inline constexpr int kMinGridPoints = driver::CCalibration::kMinGrid;
inline constexpr int kMaxGridPoints = driver::CCalibration::kMaxGrid;

// The grid a calibration measures unless the user asks for another, chosen
// from calibration_accuracy_bench (calibration/README.md): on a 1024 x 768
// board seen by a wide-angle camera (the picture's corners pulled in by 15 %)
// with touch noise, the worst error anywhere on the board is 38 px for
// 2 x 2, 15 px for 3 x 3, 8.5 px for 4 x 4, 5.5 px for 5 x 5 (2.3 px RMS),
// 4.1 px for 6 x 6 and 2.0 px for 10 x 10. 5 x 5 is the smallest grid
// within a few pixels everywhere; each larger one costs a third more
// targets or more for a pixel or so.
inline constexpr GridSize kDefaultGrid{5, 5};

// Grid point (column, row).
struct GridPoint {
    int column = 0;
    int row = 0;
};

bool IsValidGrid(GridSize grid);

// The file's order: target n is column n / rows, row n % rows.
inline int TargetIndex(GridSize grid, GridPoint point)
{
    return point.column * grid.rows + point.row;
}

class TargetLayout {
public:
    // A grid outside 2..10 on an axis is kept within that range.
    TargetLayout(GridSize grid, ScreenSize screen);

    GridSize Grid() const { return grid_; }
    ScreenSize Screen() const { return screen_; }
    int Count() const { return grid_.columns * grid_.rows; }

    // Target n is the n-th point the file stores (TargetIndex).
    GridPoint GridPointOf(int target) const { return {target / grid_.rows, target % grid_.rows}; }
    int TargetAt(GridPoint point) const { return TargetIndex(grid_, point); }
    bool Contains(GridPoint point) const
    {
        return point.column >= 0 && point.column < grid_.columns && point.row >= 0 && point.row < grid_.rows;
    }

    // Where target n is shown, in pixels of the board's monitor.
    Point ScreenPoint(int target) const;
    // The place a fractional column and row stand for, between grid points.
    Point ScreenPointAt(double column, double row) const;

    // "Target 3 of 9": targets are counted from 1 on the screen.
    static int DisplayNumber(int target) { return target + 1; }

private:
    GridSize grid_;
    ScreenSize screen_;
};

} // namespace calibration
