#include "RegionReference.h"

namespace wintests {

PolygonRegion::PolygonRegion(const driver::IntQuad& quad)
{
    POINT corners[4];
    for (int k = 0; k < 4; ++k) corners[k] = POINT{quad.x[k], quad.y[k]};
    region_ = CreatePolygonRgn(corners, 4, ALTERNATE);
}

PolygonRegion::~PolygonRegion()
{
    if (region_) DeleteObject(region_);
}

bool PolygonRegion::Contains(int px, int py) const
{
    return region_ && PtInRegion(region_, px, py);
}

} // namespace wintests
