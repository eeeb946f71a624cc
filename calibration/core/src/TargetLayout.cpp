#include "calibration/TargetLayout.h"

#include "driver/ScreenGrid.h"

#include <algorithm>

namespace calibration {

bool IsValidGrid(GridSize grid)
{
    return grid.columns >= kMinGridPoints && grid.columns <= kMaxGridPoints && grid.rows >= kMinGridPoints &&
           grid.rows <= kMaxGridPoints;
}

TargetLayout::TargetLayout(GridSize grid, ScreenSize screen)
    : grid_{std::clamp(grid.columns, kMinGridPoints, kMaxGridPoints),
            std::clamp(grid.rows, kMinGridPoints, kMaxGridPoints)},
      screen_(screen)
{}

Point TargetLayout::ScreenPoint(int target) const
{
    const GridPoint p = GridPointOf(target);
    return ScreenPointAt(p.column, p.row);
}

Point TargetLayout::ScreenPointAt(double column, double row) const
{
    return driver::ScreenGridPoint(column, row, grid_.columns, grid_.rows, screen_.width, screen_.height);
}

} // namespace calibration
