#include "driver/Calibration.h"

#include <cmath>

namespace driver {

int CCalibration::CellAt(const Point& point) const
{
    if (!std::isfinite(point.x) || !std::isfinite(point.y)) return -1;
    const std::int32_t px = TruncateCoordinate(point.x);
    const std::int32_t py = TruncateCoordinate(point.y);
    const int cells = CellCount();
    for (int n = 0; n < cells; ++n) {
        const CellBounds& b = cellBounds_[n];
        if (px < b.left || px >= b.right || py < b.top || py >= b.bottom) continue;
        if (QuadContains(cellQuads_[n], px, py)) return n;
    }
    return -1;
}

bool CCalibration::MapInCell(int cell, Point& point) const
{
    if (cell < 0 || cell >= CellCount() || !cellSolved_[cell]) return false;
    const double* t = dotCell_[cell];
    const double denominator = t[6] * point.x + t[7] * point.y + 1;
    const double x = (t[0] * point.x + t[1] * point.y + t[2]) / denominator;
    const double y = (t[3] * point.x + t[4] * point.y + t[5]) / denominator;
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    point.x = x;
    point.y = y;
    return !(x > screenWidth_ || y > screenHeight_ || x <= 0 || y <= 0);
}

bool CCalibration::MapPoint(Point& point) const
{
    const int cell = CellAt(point);
    return cell >= 0 && MapInCell(cell, point);
}

} // namespace driver
