#pragma once
// The board's monitor while Kalmeno measures with the camera, as its window
// paints it: black, and for a target a white disc of the pattern's radius
// on the pixel nearest its centre, filled as GDI's Ellipse fills the square
// from centre - radius to centre + radius + 1 (symmetric about that pixel,
// so the disc's middle is the pixel's centre). The window's small progress
// line at the bottom edge is not drawn.
#include "calibration/CameraMeasurement.h"

#include "fakecamera/CameraFrame.h"

#include <cstdint>
#include <vector>

namespace calibration_bench {

class PatternScreen {
public:
    PatternScreen(int width, int height);

    void Paint(const calibration::ShownPattern& pattern);

    // 32 bits a pixel, the top row first; valid until the next Paint.
    fakecamera::ScreenImage Image() const;
    // The pixel the disc is centred on (for Target patterns).
    int DiscX() const { return discX_; }
    int DiscY() const { return discY_; }

private:
    void Fill(int x, int y, std::uint8_t grey);

    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
    int discX_ = -1;
    int discY_ = -1;
};

} // namespace calibration_bench
