#pragma once
// The platform's own answer for a quadrilateral: a polygon region with
// alternate filling, asked whether it holds a pixel.
#include "driver/QuadRegion.h"

namespace wintests {

bool RegionContains(const driver::IntQuad& quad, int px, int py);

} // namespace wintests
