#pragma once
// How a captured 24-bit frame lies in memory: bottom-up rows of
// width x 3 bytes, each padded to a multiple of 4 bytes, exactly as a
// device-independent bitmap of the same size is read when drawn.
#include <cstddef>
#include <optional>

namespace camview {

inline constexpr int kBytesPerPixel = 3;
// Larger frames than this are treated as corrupt media types.
inline constexpr int kMaxFrameSide = 8192;

struct FrameLayout {
    int width = 0;
    int height = 0;
    std::size_t rowStride = 0;  // bytes from one row to the next
    std::size_t imageBytes = 0; // rowStride * height
};

std::size_t RowStride(int width);

// The layout of a width x height frame when `bufferBytes` hold all of it;
// nothing when the size is unusable or the buffer is too small, so that no
// later step reads or writes past the buffer.
std::optional<FrameLayout> DescribeFrame(int width, int height, std::size_t bufferBytes);

} // namespace camview
