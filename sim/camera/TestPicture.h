#pragma once
// What the fake camera sees: a white board with a dark frame on a grey-blue
// wall, a green mark in the board's upper-left corner (so a turned picture
// is obvious) and an orange pen dot that travels along the board.
#include <cstdint>

namespace fakecamera {

// Fills a bottom-up 24-bit frame (rows padded to 4 bytes) with frame number
// `frameNumber` of the scene.
void PaintTestPicture(std::uint8_t* pixels, int width, int height, unsigned frameNumber);

} // namespace fakecamera
