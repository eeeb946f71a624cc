#pragma once
// The chain from a screen pixel to the camera point a board camera reports
// for a pen there: the projector's picture on the board, seen by a 320 x 240
// camera in perspective (mounted above the board, looking down at it, a
// little off its middle) through a wide-angle lens with radial distortion;
// and back again, from a spot of the camera's picture to the screen.
//
// Conventions:
// - A screen point is in pixels of the board's monitor, its left/top edge 0:
//   pixel (i, j) covers [i, i+1) x [j, j+1), its centre is (i + 0.5, j + 0.5),
//   and the monitor's right edge is its width.
// - A picture position is in pixels of a 320 x 240 camera picture, top row
//   first, its left/top edge 0: picture pixel i covers [i, i+1). For a frame
//   of another size (640 x 480, say) positions scale by width / 320 and
//   height / 240.
// - A camera point is what the camera service reports for a pen at that
//   spot: the picture position times 10 (x 0..3200, y 0..2400).
#include "driver/Geometry.h"

namespace fakecamera {

using driver::Point;
using driver::ScreenSize;

// The picture every camera point refers to, and the scale of camera points.
inline constexpr double kPictureWidth = 320;
inline constexpr double kPictureHeight = 240;
inline constexpr double kCameraUnitsPerPicturePixel = 10;

struct LensModel {
    // Radial distortion r' = r (1 + k1 r^2 + k2 r^4), the radius normalised
    // to 1 at the picture's corner: k1 is the share by which the corner of
    // the picture is pulled in. A board camera's wide-angle lens has a k1 of
    // about -0.1 to -0.2.
    double k1 = -0.15;
    double k2 = 0;
};

// Where the camera stands: where the screen's corners fall in normalised
// camera coordinates (picture pixels from the picture's middle over the
// focal length of 150 pixels) before the lens bends them. The default has
// the top of the board nearer the camera than its bottom, the camera a
// little right of the middle and turned a little.
struct CameraPose {
    Point topLeft{-0.92, -0.62};
    Point topRight{0.95, -0.60};
    Point bottomRight{1.10, 0.70};
    Point bottomLeft{-1.06, 0.72};
    // Mounted the other way up: the picture turned by half a turn.
    bool upsideDown = false;
};

class BoardCameraModel {
public:
    BoardCameraModel(ScreenSize screen, LensModel lens, bool upsideDown = false);
    BoardCameraModel(ScreenSize screen, LensModel lens, const CameraPose& pose);

    // Where the camera reports a pen at screen point `screen` (not rounded).
    Point CameraPoint(const Point& screen) const;
    // The same spot as a picture position (CameraPoint / 10).
    Point PicturePosition(const Point& screen) const;

    // The screen point the camera sees at picture position `picture`: the
    // inverse of PicturePosition. False where that spot of the picture sees
    // no point of the board's plane in front of the camera, or lies beyond
    // the radius up to which the lens keeps the picture in order.
    bool ScreenPointAt(const Point& picture, Point& screen) const;

    ScreenSize Screen() const { return screen_; }

private:
    // The lens scales undistorted normalised camera coordinates by this to
    // give the distorted ones; Unbend goes back by Newton's method on the
    // radius.
    double BendFactor(const Point& straight) const;
    bool Unbend(const Point& bent, Point& straight) const;

    ScreenSize screen_;
    LensModel lens_;
    bool upsideDown_;
    double h_[9];       // board (fractions of the screen) to undistorted normalised camera coordinates
    double inverse_[9]; // and back
};

} // namespace fakecamera
