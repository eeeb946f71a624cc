#include "driver/QuadRegion.h"

#include <cmath>
#include <utility>

namespace driver {

std::int32_t TruncateCoordinate(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= kQuadCoordinateLimit) return kQuadCoordinateLimit;
    if (value <= -kQuadCoordinateLimit) return -kQuadCoordinateLimit;
    return static_cast<std::int32_t>(value);
}

IntQuad MakeIntQuad(const double x[4], const double y[4])
{
    IntQuad quad{};
    for (int k = 0; k < 4; ++k) {
        quad.x[k] = TruncateCoordinate(x[k]);
        quad.y[k] = TruncateCoordinate(y[k]);
    }
    return quad;
}

bool QuadContains(const IntQuad& quad, std::int32_t px, std::int32_t py)
{
    bool inside = false;
    for (int k = 0; k < 4; ++k) {
        const int next = (k + 1) & 3;
        std::int64_t xt = quad.x[k], yt = quad.y[k];
        std::int64_t xb = quad.x[next], yb = quad.y[next];
        if (yt == yb) continue;
        if (yt > yb) {
            std::swap(xt, xb);
            std::swap(yt, yb);
        }
        if (py < yt || py >= yb) continue;
        // The crossing xt + ceil(num / den) lies at or left of px exactly
        // when num / den <= px - xt, because px - xt is a whole number.
        const std::int64_t num = (py - yt) * (xb - xt);
        const std::int64_t den = yb - yt;
        if (num <= (px - xt) * den) inside = !inside;
    }
    return inside;
}

} // namespace driver
