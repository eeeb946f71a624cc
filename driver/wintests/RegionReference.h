#pragma once
// The platform's own answer for a quadrilateral: a polygon region with
// alternate filling, asked whether it holds a pixel. Building a region costs
// far more than asking it, so one region answers many points.
#include "driver/QuadRegion.h"

#include <windows.h>

namespace wintests {

class PolygonRegion {
public:
    explicit PolygonRegion(const driver::IntQuad& quad);
    ~PolygonRegion();
    PolygonRegion(const PolygonRegion&) = delete;
    PolygonRegion& operator=(const PolygonRegion&) = delete;
    PolygonRegion(PolygonRegion&& other) noexcept
        : region_(other.region_)
    {
        other.region_ = nullptr;
    }

    bool Contains(int px, int py) const;

private:
    HRGN region_;
};

} // namespace wintests
