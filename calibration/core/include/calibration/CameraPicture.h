#pragma once
// The board camera's picture as the automatic calibration reads it: grey
// levels, top row first, whatever the capture delivered; and where a spot in
// it lies in camera units, the space the camera service reports pens in and
// the settings file stores the grid in.
#include "driver/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace calibration {

using driver::Point;

struct CameraPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> grey; // width * height, row by row from the top

    bool Empty() const { return width <= 0 || height <= 0 || grey.size() != Size(); }
    std::size_t Size() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
    std::uint8_t At(int x, int y) const
    {
        return grey[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

// The largest frame taken, on either axis: far beyond any board camera, and
// small enough that no size computed from it overflows.
inline constexpr int kMaxPictureSide = 8192;

// A 24-bit frame as a capture delivers it: BGR, each row padded to a whole
// number of 4 bytes, the bottom row first when `bottomUp`. The frame comes
// from a camera driver: a size out of range or fewer bytes than the size
// needs gives an empty picture rather than a read past the buffer.
CameraPicture GreyFromRgb24(const std::uint8_t* pixels, std::size_t bytes, int width, int height, bool bottomUp);

// The camera's own picture is 320 x 240 pixels and it reports pens in tenths
// of them (x 0..3200, y 0..2400). A picture position is in pixels of the
// delivered frame, top row first, its left and top edges at 0 (pixel i
// covers [i, i + 1)); a frame of another size scales to 320 x 240.
inline constexpr int kCameraPictureWidth = 320;
inline constexpr int kCameraPictureHeight = 240;
Point CameraPointOf(Point picturePosition, int width, int height);

} // namespace calibration
