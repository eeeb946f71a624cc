#pragma once
// Exact integer point-in-quadrilateral test with the answers of the
// platform's polygon region (alternate filling) for the same vertices.
//
// The region is built scanline by scanline. A non-horizontal edge from its
// upper end (xt, yt) to its lower end (xb, yb) covers the scanlines
// yt <= y < yb, where it crosses at xt + ceil((y - yt) * (xb - xt) / (yb - yt)).
// On a scanline, a pixel is inside when an odd number of the crossing edges
// lie at or left of it. So left and top edges belong to the region, right and
// bottom edges do not, horizontal edges take no part, and a self-crossing
// quadrilateral holds only the parts covered an odd number of times.
#include <cstdint>

namespace driver {

// Vertex coordinates are kept within this magnitude so that the products in
// the test cannot overflow; far beyond any camera or pushed-border value.
constexpr std::int32_t kQuadCoordinateLimit = 1 << 30;

// Truncates toward zero as a C cast would, saturating at the coordinate
// limit; not-a-number gives 0. Never undefined, whatever the input.
std::int32_t TruncateCoordinate(double value);

struct IntQuad {
    std::int32_t x[4];
    std::int32_t y[4];
};

// The quadrilateral of four camera points in the order given, each
// coordinate truncated toward zero.
IntQuad MakeIntQuad(const double x[4], const double y[4]);

// True when the pixel (px, py) belongs to the region of `quad`.
// Coordinates must lie within +-kQuadCoordinateLimit.
bool QuadContains(const IntQuad& quad, std::int32_t px, std::int32_t py);

} // namespace driver
