#include "fakecamera/BoardCameraModel.h"

#include <cmath>

namespace fakecamera {
namespace {

// The camera: 320 x 240 pixels, principal point in the middle, a focal
// length of 150 pixels (about 93 degrees across).
constexpr double kCameraPixelsX = kPictureWidth, kCameraPixelsY = kPictureHeight;
constexpr double kFocalPixels = 150;
constexpr double kUnitsPerPixel = kCameraUnitsPerPicturePixel;
constexpr double kHalfDiagonalPixels2 = (kCameraPixelsX * kCameraPixelsX + kCameraPixelsY * kCameraPixelsY) / 4;

constexpr int kMostNewtonSteps = 30;

} // namespace

BoardCameraModel::BoardCameraModel(ScreenSize screen, LensModel lens, bool upsideDown)
    : BoardCameraModel(screen, lens, [upsideDown] {
          CameraPose pose;
          pose.upsideDown = upsideDown;
          return pose;
      }())
{}

BoardCameraModel::BoardCameraModel(ScreenSize screen, LensModel lens, const CameraPose& pose)
    : screen_(screen),
      lens_(lens),
      upsideDown_(pose.upsideDown)
{
    // The perspective view of a flat board: the projective map of the unit
    // square onto the four corners (Heckbert's closed form).
    const Point p0 = pose.topLeft, p1 = pose.topRight, p2 = pose.bottomRight, p3 = pose.bottomLeft;
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

    // The way back is the adjugate: a projective map does not mind the
    // missing division by the determinant.
    inverse_[0] = h_[4] * h_[8] - h_[5] * h_[7];
    inverse_[1] = h_[2] * h_[7] - h_[1] * h_[8];
    inverse_[2] = h_[1] * h_[5] - h_[2] * h_[4];
    inverse_[3] = h_[5] * h_[6] - h_[3] * h_[8];
    inverse_[4] = h_[0] * h_[8] - h_[2] * h_[6];
    inverse_[5] = h_[2] * h_[3] - h_[0] * h_[5];
    inverse_[6] = h_[3] * h_[7] - h_[4] * h_[6];
    inverse_[7] = h_[1] * h_[6] - h_[0] * h_[7];
    inverse_[8] = h_[0] * h_[4] - h_[1] * h_[3];
}

Point BoardCameraModel::CameraPoint(const Point& screen) const
{
    const double u = screen.x / screen_.width, v = screen.y / screen_.height;
    const double w = h_[6] * u + h_[7] * v + h_[8];
    const double x = (h_[0] * u + h_[1] * v + h_[2]) / w;
    const double y = (h_[3] * u + h_[4] * v + h_[5]) / w;
    const double bend = BendFactor({x, y});
    Point camera{(kCameraPixelsX / 2 + kFocalPixels * x * bend) * kUnitsPerPixel,
                 (kCameraPixelsY / 2 + kFocalPixels * y * bend) * kUnitsPerPixel};
    if (upsideDown_) camera = {kCameraPixelsX * kUnitsPerPixel - camera.x, kCameraPixelsY * kUnitsPerPixel - camera.y};
    return camera;
}

Point BoardCameraModel::PicturePosition(const Point& screen) const
{
    const Point camera = CameraPoint(screen);
    return {camera.x / kUnitsPerPixel, camera.y / kUnitsPerPixel};
}

bool BoardCameraModel::ScreenPointAt(const Point& picture, Point& screen) const
{
    Point upright = picture;
    if (upsideDown_) upright = {kCameraPixelsX - picture.x, kCameraPixelsY - picture.y};
    Point straight;
    if (!Unbend({(upright.x - kCameraPixelsX / 2) / kFocalPixels, (upright.y - kCameraPixelsY / 2) / kFocalPixels},
                straight))
        return false;
    const double w = inverse_[6] * straight.x + inverse_[7] * straight.y + inverse_[8];
    if (w == 0) return false;
    const double u = (inverse_[0] * straight.x + inverse_[1] * straight.y + inverse_[2]) / w;
    const double v = (inverse_[3] * straight.x + inverse_[4] * straight.y + inverse_[5]) / w;
    // A ray that meets the board's plane behind the camera sees none of it.
    if (h_[6] * u + h_[7] * v + h_[8] <= 0) return false;
    screen = {u * screen_.width, v * screen_.height};
    return true;
}

double BoardCameraModel::BendFactor(const Point& straight) const
{
    // In the order of operations the calibration figures were first made
    // with (and CameraPoint multiplies in that order too), so that they come
    // out the same to the last bit.
    const double x = straight.x, y = straight.y;
    const double r2 = (x * x + y * y) * kFocalPixels * kFocalPixels / kHalfDiagonalPixels2;
    return 1 + lens_.k1 * r2 + lens_.k2 * r2 * r2;
}

bool BoardCameraModel::Unbend(const Point& bent, Point& straight) const
{
    // Along a ray from the picture's middle the lens only scales: find the
    // straight radius r with r (1 + k1 c r^2 + k2 c^2 r^4) = the bent one,
    // c turning normalised radii into radii over the half diagonal.
    const double target = std::hypot(bent.x, bent.y);
    if (target == 0) {
        straight = bent;
        return true;
    }
    const double c = kFocalPixels * kFocalPixels / kHalfDiagonalPixels2;
    const double a = lens_.k1 * c, b = lens_.k2 * c * c;
    double r = target;
    for (int step = 0; step < kMostNewtonSteps; ++step) {
        const double r2 = r * r;
        const double slope = 1 + 3 * a * r2 + 5 * b * r2 * r2;
        // Past the turning point the lens folds the picture back on itself.
        if (slope <= 0) return false;
        const double change = (r * (1 + a * r2 + b * r2 * r2) - target) / slope;
        r -= change;
        if (r <= 0) return false;
        if (std::fabs(change) < 1e-14 * (1 + r)) break;
    }
    const double r2 = r * r;
    if (1 + 3 * a * r2 + 5 * b * r2 * r2 <= 0) return false;
    straight = {bent.x * r / target, bent.y * r / target};
    return true;
}

} // namespace fakecamera
