#include "camview/FrameLayout.h"

namespace camview {

std::size_t RowStride(int width)
{
    const std::size_t packed = static_cast<std::size_t>(width) * kBytesPerPixel;
    return (packed + 3) & ~static_cast<std::size_t>(3);
}

std::optional<FrameLayout> DescribeFrame(int width, int height, std::size_t bufferBytes)
{
    if (width <= 0 || height <= 0 || width > kMaxFrameSide || height > kMaxFrameSide) return std::nullopt;
    FrameLayout layout;
    layout.width = width;
    layout.height = height;
    layout.rowStride = RowStride(width);
    layout.imageBytes = layout.rowStride * static_cast<std::size_t>(height);
    if (bufferBytes < layout.imageBytes) return std::nullopt;
    return layout;
}

} // namespace camview
