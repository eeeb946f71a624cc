#include "camview/HalfTurn.h"

#include <algorithm>

namespace camview {

namespace {

std::uint8_t* PixelAt(std::uint8_t* pixels, const FrameLayout& layout, std::size_t index)
{
    const std::size_t width = static_cast<std::size_t>(layout.width);
    return pixels + (index / width) * layout.rowStride + (index % width) * kBytesPerPixel;
}

} // namespace

void TurnHalfCircle(std::uint8_t* pixels, const FrameLayout& layout)
{
    const std::size_t count = static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height);
    for (std::size_t k = 0; k < count / 2; ++k)
        std::swap_ranges(PixelAt(pixels, layout, k), PixelAt(pixels, layout, k) + kBytesPerPixel,
                         PixelAt(pixels, layout, count - 1 - k));
}

} // namespace camview
