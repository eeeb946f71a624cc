#include "RegionReference.h"

#include <windows.h>

namespace wintests {
namespace {

class RegionHandle {
public:
    explicit RegionHandle(HRGN region) : region_(region) {}
    ~RegionHandle()
    {
        if (region_) DeleteObject(region_);
    }
    RegionHandle(const RegionHandle&) = delete;
    RegionHandle& operator=(const RegionHandle&) = delete;
    HRGN get() const { return region_; }

private:
    HRGN region_;
};

} // namespace

bool RegionContains(const driver::IntQuad& quad, int px, int py)
{
    POINT corners[4];
    for (int k = 0; k < 4; ++k) corners[k] = POINT{quad.x[k], quad.y[k]};
    RegionHandle region(CreatePolygonRgn(corners, 4, ALTERNATE));
    return region.get() && PtInRegion(region.get(), px, py);
}

} // namespace wintests
