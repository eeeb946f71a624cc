#include "BoardCameraModel.h"

#include <cmath>

namespace calibration_bench {
namespace {

// The camera: 320 x 240 pixels, principal point in the middle, a focal
// length of 150 pixels (about 93 degrees across).
constexpr double kCameraPixelsX = 320, kCameraPixelsY = 240;
constexpr double kFocalPixels = 150;
constexpr double kUnitsPerPixel = 10;
constexpr double kHalfDiagonalPixels2 = (kCameraPixelsX * kCameraPixelsX + kCameraPixelsY * kCameraPixelsY) / 4;

// Where the screen's corners fall in normalised camera coordinates before
// the lens bends them (top left, top right, bottom right, bottom left): the
// top of the board nearer the camera than its bottom, the camera a little
// right of the middle and turned a little.
constexpr Point kCorners[4] = {{-0.92, -0.62}, {0.95, -0.60}, {1.10, 0.70}, {-1.06, 0.72}};

} // namespace

BoardCameraModel::BoardCameraModel(driver::ScreenSize screen, LensModel lens, bool upsideDown)
    : screen_(screen),
      lens_(lens),
      upsideDown_(upsideDown)
{
    // The perspective view of a flat board: the projective map of the unit
    // square onto the four corners (Heckbert's closed form).
    const Point p0 = kCorners[0], p1 = kCorners[1], p2 = kCorners[2], p3 = kCorners[3];
    const double sx = p0.x - p1.x + p2.x - p3.x, sy = p0.y - p1.y + p2.y - p3.y;
    const double dx1 = p1.x - p2.x, dx2 = p3.x - p2.x, dy1 = p1.y - p2.y, dy2 = p3.y - p2.y;
    const double det = dx1 * dy2 - dx2 * dy1;
    const double g = (sx * dy2 - dx2 * sy) / det;
    const double h = (dx1 * sy - sx * dy1) / det;
    h_[0] = p1.x - p0.x + g * p1.x;
    h_[1] = p3.x - p0.x + h * p3.x;
    h_[2] = p0.x;
    h_[3] = p1.y - p0.y + g * p1.y;
    h_[4] = p3.y - p0.y + h * p3.y;
    h_[5] = p0.y;
    h_[6] = g;
    h_[7] = h;
    h_[8] = 1;
}

Point BoardCameraModel::CameraPoint(const Point& screen) const
{
    const double u = screen.x / screen_.width, v = screen.y / screen_.height;
    const double w = h_[6] * u + h_[7] * v + h_[8];
    const double x = (h_[0] * u + h_[1] * v + h_[2]) / w;
    const double y = (h_[3] * u + h_[4] * v + h_[5]) / w;
    const double r2 = (x * x + y * y) * kFocalPixels * kFocalPixels / kHalfDiagonalPixels2;
    const double bend = 1 + lens_.k1 * r2 + lens_.k2 * r2 * r2;
    Point camera{(kCameraPixelsX / 2 + kFocalPixels * x * bend) * kUnitsPerPixel,
                 (kCameraPixelsY / 2 + kFocalPixels * y * bend) * kUnitsPerPixel};
    if (upsideDown_) camera = {kCameraPixelsX * kUnitsPerPixel - camera.x, kCameraPixelsY * kUnitsPerPixel - camera.y};
    return camera;
}

} // namespace calibration_bench
