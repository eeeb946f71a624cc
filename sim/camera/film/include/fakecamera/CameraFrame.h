#pragma once
// The frames the fake camera delivers, as DirectShow's RGB24 has them:
// 3 bytes a pixel (blue, green, red), rows padded to 4 bytes, the BOTTOM
// row first. And the screen it films, as a top-down device-independent
// bitmap of 24 or 32 bits a pixel (blue, green, red[, unused]).
#include <cstddef>
#include <cstdint>

namespace fakecamera {

struct FrameSize {
    int width;
    int height;
};

inline constexpr std::size_t Rgb24Stride(int width)
{
    return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

inline constexpr std::size_t Rgb24Bytes(FrameSize size)
{
    return Rgb24Stride(size.width) * static_cast<std::size_t>(size.height);
}

struct ScreenImage {
    const std::uint8_t* pixels = nullptr; // the top row first
    int width = 0;
    int height = 0;
    int bytesPerPixel = 4;  // 3 or 4
    std::size_t stride = 0; // bytes from one row to the next
};

} // namespace fakecamera
