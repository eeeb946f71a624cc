#pragma once
// The geometric checks of a measured grid before it may be written. Each
// names the targets to touch again.
//
// - Every point lies in camera space, 0..3200 x 0..2400.
// - No cell is folded: each cell's corners, in the driver's order (i, j),
//   (i+1, j), (i+1, j+1), (i, j+1), make a convex quadrilateral turning the
//   same way as the other cells'. A folded cell would map a part of the
//   board twice and another part nowhere.
// - No point strays from its neighbours: a projective fit to the measured
//   points around it says where it must be, and it lies within kStrayReach
//   grid steps of there. A point taken from the wrong spot is named, not the
//   good ones around it whose fits it drags along.
#include "calibration/CalibrationSession.h"
#include "calibration/TargetLayout.h"

#include <vector>

namespace calibration {

enum class GridFault {
    OutsideCamera,   // a point beyond the camera's picture
    FoldedCell,      // the targets are a folded cell's corners
    StrayPoint,      // a point far from where its neighbours say
    RefusedByDriver, // the driver's own load finds the grid unsound
    MapsElsewhere,   // through the driver's mapping the point misses its target
    UnusableKey,     // a board key the driver could never hit
};

const char* Name(GridFault fault);

struct GridFinding {
    GridFault fault;
    std::vector<int> targets; // target indices (key numbers for UnusableKey)
};

// A point may lie this many grid steps from where its neighbours put it.
// A wide-angle lens (k1 = -0.2) puts a point at most 0.17 steps from the
// fit of its neighbours (calibration_accuracy_bench), so this leaves room
// for a lens and touch noise; a point taken from a wrong spot lies much
// farther out, and a slip of a third of a cell is worth touching again.
inline constexpr double kStrayReach = 0.3;

std::vector<GridFinding> FindPointsOutsideCamera(const TargetLayout& layout, const MeasuredGrid& grid);
std::vector<GridFinding> FindFoldedCells(const TargetLayout& layout, const MeasuredGrid& grid);
std::vector<GridFinding> FindStrayPoints(const TargetLayout& layout, const MeasuredGrid& grid);

} // namespace calibration
