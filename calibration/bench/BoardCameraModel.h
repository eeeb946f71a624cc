#pragma once
// The chain from a screen pixel to the camera point a board camera reports
// for a pen there: the projector's picture on the board, seen by a 320 x 240
// camera in perspective (mounted above the board, looking down at it, a
// little off its middle) through a wide-angle lens with radial distortion;
// camera units are the camera's pixels times 10.
#include "driver/Desktop.h"
#include "driver/Point.h"

namespace calibration_bench {

using driver::Point;

struct LensModel {
    // Radial distortion r' = r (1 + k1 r^2 + k2 r^4), the radius normalised
    // to 1 at the picture's corner: k1 is the share by which the corner of
    // the picture is pulled in. A board camera's wide-angle lens has a k1 of
    // about -0.1 to -0.2.
    double k1 = -0.15;
    double k2 = 0;
};

class BoardCameraModel {
public:
    BoardCameraModel(driver::ScreenSize screen, LensModel lens, bool upsideDown = false);

    // Where the camera reports a pen at screen pixel `screen` (not rounded).
    Point CameraPoint(const Point& screen) const;

private:
    driver::ScreenSize screen_;
    LensModel lens_;
    bool upsideDown_;
    double h_[9]; // board (fractions of the screen) to undistorted normalised camera coordinates
};

} // namespace calibration_bench
