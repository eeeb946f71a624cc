#include "camview/AlignmentOverlay.h"

#include <algorithm>

namespace camview {

std::array<PixelRect, 10> AlignmentOverlayRects(int width, int height)
{
    const int w = width;
    const int h = height;
    const int cx = w / 2;
    const int cy = h / 2;
    return {{
        // Corner uprights: two row bands times two column bands.
        {36, 94, 21, 29},
        {36, 94, w - 29, w - 21},
        {h - 94, h - 36, 21, 29},
        {h - 94, h - 36, w - 29, w - 21},
        // Corner bars.
        {26, 35, 21, 89},
        {26, 35, w - 89, w - 21},
        {h - 35, h - 26, 21, 89},
        {h - 35, h - 26, w - 89, w - 21},
        // Cross: horizontal, then vertical.
        {cy - 2, cy + 1, cx - 25, cx + 24},
        {cy - 25, cy + 24, cx - 2, cx + 1},
    }};
}

void DrawAlignmentOverlay(std::uint8_t* pixels, const FrameLayout& layout)
{
    for (const PixelRect& rect : AlignmentOverlayRects(layout.width, layout.height)) {
        const int firstRow = std::max(rect.firstRow, 0);
        const int lastRow = std::min(rect.lastRow, layout.height - 1);
        const int firstColumn = std::max(rect.firstColumn, 0);
        const int lastColumn = std::min(rect.lastColumn, layout.width - 1);
        for (int row = firstRow; row <= lastRow; ++row) {
            std::uint8_t* pixel = pixels + static_cast<std::size_t>(row) * layout.rowStride +
                                  static_cast<std::size_t>(firstColumn) * kBytesPerPixel;
            for (int column = firstColumn; column <= lastColumn; ++column, pixel += kBytesPerPixel) {
                pixel[0] = 0;   // blue
                pixel[1] = 0;   // green
                pixel[2] = 255; // red
            }
        }
    }
}

} // namespace camview
