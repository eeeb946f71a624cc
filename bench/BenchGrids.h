#pragma once
// Calibrations and touch points shared by the mapping benchmarks.
#include "driver/Calibration.h"

#include <vector>

namespace bench {

// A loaded model on a 1024 x 768 screen: a regular 3 x 3 grid, or a 10 x 10
// grid with wavy rows and columns as a real board gives.
driver::CCalibration LoadGrid(int size);

// Camera points spread over camera space: mostly inside the grid, some on
// the calibration points (shared cell edges), some beyond the camera picture
// and beyond the pushed border.
std::vector<driver::Point> SpreadPoints(const driver::CCalibration& model, int count);

} // namespace bench
