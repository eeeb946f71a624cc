#pragma once
// Screens and frames for the film tests: a monitor's picture as the screen
// grab gives it, and what a frame's pixels add up to.
#include "fakecamera/BoardCameraModel.h"
#include "fakecamera/CameraFrame.h"

#include <cstdint>
#include <vector>

namespace fakecamera::testing {

// A top-down 32-bit screen, black, with white discs drawn as a program
// draws them: every pixel whose centre lies within `radius` of the centre.
class TestScreen {
public:
    TestScreen(int width, int height)
        : width_(width),
          height_(height),
          pixels_(static_cast<std::size_t>(width) * height * 4, 0)
    {}

    void Disc(const Point& centre, double radius, std::uint8_t grey = 255)
    {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const double dx = x + 0.5 - centre.x, dy = y + 0.5 - centre.y;
                if (dx * dx + dy * dy > radius * radius) continue;
                std::uint8_t* pixel = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
                pixel[0] = pixel[1] = pixel[2] = grey;
            }
        }
    }

    ScreenImage Image() const { return {pixels_.data(), width_, height_, 4, static_cast<std::size_t>(width_) * 4}; }

private:
    int width_, height_;
    std::vector<std::uint8_t> pixels_;
};

inline std::vector<std::uint8_t> EmptyFrame(FrameSize size)
{
    return std::vector<std::uint8_t>(Rgb24Bytes(size), 0);
}

// The grey level of picture pixel (x, y), counted from the top row.
inline int GreyAt(const std::vector<std::uint8_t>& frame, FrameSize size, int x, int y)
{
    return frame[static_cast<std::size_t>(size.height - 1 - y) * Rgb24Stride(size.width) + x * 3];
}

// The intensity-weighted centroid of `frame` minus `background`, as a
// picture position (of 320 x 240, whatever the frame's size).
inline Point Centroid(const std::vector<std::uint8_t>& frame, const std::vector<std::uint8_t>& background,
                      FrameSize size)
{
    double sum = 0, sumX = 0, sumY = 0;
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            const double weight = GreyAt(frame, size, x, y) - GreyAt(background, size, x, y);
            sum += weight;
            sumX += weight * (x + 0.5);
            sumY += weight * (y + 0.5);
        }
    }
    if (sum <= 0) return {-1, -1};
    return {sumX / sum * kPictureWidth / size.width, sumY / sum * kPictureHeight / size.height};
}

} // namespace fakecamera::testing
