#pragma once
// The red alignment marks the user lines the board up with: four L-shaped
// corner marks and a centre cross, painted into the frame itself.
#include "camview/FrameLayout.h"

#include <array>
#include <cstdint>

namespace camview {

// Inclusive pixel ranges; row 0 is the first row of the buffer.
struct PixelRect {
    int firstRow, lastRow;
    int firstColumn, lastColumn;
};

// The ten rectangles of the overlay for a width x height frame, before
// clipping: uprights and bars of the four corners, then the cross.
std::array<PixelRect, 10> AlignmentOverlayRects(int width, int height);

// Paints the overlay pure red (blue 0, green 0, red 255), clipped to the
// frame, so a frame smaller than the marks is still painted safely.
void DrawAlignmentOverlay(std::uint8_t* pixels, const FrameLayout& layout);

} // namespace camview
