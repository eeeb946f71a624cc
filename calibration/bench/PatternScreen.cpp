#include "PatternScreen.h"

#include <algorithm>
#include <cmath>

namespace calibration_bench {

PatternScreen::PatternScreen(int width, int height)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0)
{}

void PatternScreen::Fill(int x, int y, std::uint8_t grey)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    std::uint8_t* pixel = &pixels_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + x) * 4];
    std::fill(pixel, pixel + 3, grey);
}

void PatternScreen::Paint(const calibration::ShownPattern& pattern)
{
    std::fill(pixels_.begin(), pixels_.end(), std::uint8_t{0});
    discX_ = discY_ = -1;
    if (pattern.kind != calibration::ShownPattern::Kind::Target) return;
    // The window's rounding: the disc on whole pixels and a whole radius.
    discX_ = static_cast<int>(std::lround(pattern.screen.x));
    discY_ = static_cast<int>(std::lround(pattern.screen.y));
    const int radius = static_cast<int>(std::lround(pattern.radiusPx));
    // The ellipse inscribed in the square of side 2 radius + 1, a pixel
    // filled where its centre lies inside.
    const double reach = (radius + 0.5) * (radius + 0.5);
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (dx * dx + dy * dy <= reach) Fill(discX_ + dx, discY_ + dy, 255);
}

fakecamera::ScreenImage PatternScreen::Image() const
{
    return {pixels_.data(), width_, height_, 4, static_cast<std::size_t>(width_) * 4};
}

} // namespace calibration_bench
