#pragma once
// Screen pixels as the absolute coordinates of injected mouse input, 0..65535
// across the screen. The system places an absolute coordinate a on pixel
// a * extent / 65536, truncating, so a pixel is sent as the smallest a that
// lands on it: a = ceil(pixel * 65536 / extent). Every pixel then comes back
// as itself, and a click placed at the cursor leaves the cursor where it was.
//
// The ends: pixel 0 is 0 and the far edge (pixel == extent, which a mapped
// point may reach) is 65535, the last pixel. A pixel before the first is sent
// as 0 and one beyond the far edge as 65535: the nearest pixel of the screen,
// which is also where the system keeps the cursor. No pixel of the int range
// overflows.
#include <cstdint>

namespace common {

inline constexpr int kAbsoluteMax = 65535;

// `extent` in pixels; 0 when it is not positive (no screen to scale to).
inline int AbsoluteCoordinate(std::int64_t pixel, std::int64_t extent)
{
    if (extent <= 0 || pixel <= 0) return 0;
    if (pixel >= extent) return kAbsoluteMax;
    const std::int64_t absolute = (pixel * 65536 + extent - 1) / extent;
    return absolute > kAbsoluteMax ? kAbsoluteMax : static_cast<int>(absolute);
}

} // namespace common
