#pragma once
// Turning the picture of a camera that hangs upside down.
#include "camview/FrameLayout.h"

#include <cstdint>

namespace camview {

// Turns the frame by 180 degrees in place: pixel k and pixel N-1-k change
// places (N = width x height), the byte order inside a pixel is kept and row
// padding is left alone. Turning twice restores the frame.
void TurnHalfCircle(std::uint8_t* pixels, const FrameLayout& layout);

} // namespace camview
