#pragma once
// Where the camera sees a place of the screen, as measured pairs (screen
// point, camera point) say. The best model the pairs allow:
//
//   Projective  4 or more pairs that fix a projective map (no three of four on
//               one line): exact for a flat board seen in perspective, and
//               close wherever the lens bends the picture only a little;
//   Affine      3 or more pairs not on one line, or more that only fix an
//               affine map (a column and one point beside it);
//   Line        2 or more pairs on one screen line: places on that line only;
//   None        fewer, or a place the pairs say nothing about.
#include "driver/Geometry.h"

#include <array>
#include <optional>
#include <vector>

namespace calibration {

using driver::Point;

struct MeasuredPair {
    Point screen;
    Point camera;
};

enum class FitKind { None, Line, Affine, Projective };

const char* Name(FitKind kind);

class CameraFit {
public:
    CameraFit() = default;
    static CameraFit Of(const std::vector<MeasuredPair>& pairs);

    FitKind Kind() const { return kind_; }
    // The camera point of `screen`; none for a None fit, or for a Line fit
    // and a place off its line.
    std::optional<Point> Predict(const Point& screen) const;

private:
    // Coordinates are moved to their centroid and scaled to a unit spread
    // before fitting, which keeps the systems well conditioned.
    struct Normaliser {
        Point centre;
        double scale = 1;
        Point To(const Point& p) const { return {(p.x - centre.x) * scale, (p.y - centre.y) * scale}; }
        Point From(const Point& p) const { return {p.x / scale + centre.x, p.y / scale + centre.y}; }
    };

    bool FitProjective(const std::vector<MeasuredPair>& pairs);
    bool FitAffine(const std::vector<MeasuredPair>& pairs);
    bool FitLine(const std::vector<MeasuredPair>& pairs);

    FitKind kind_ = FitKind::None;
    Normaliser screenNorm_, cameraNorm_;
    // Projective and affine: camera = (a X + b Y + c, d X + e Y + f) / (g X + h Y + 1)
    // in normalised coordinates (g = h = 0 for affine).
    std::array<double, 8> h_ = {};
    // Line: the screen line through `lineOrigin_` along `lineDirection_`, and
    // camera = cameraAt0 + t * cameraPerT for the screen place origin + t * direction.
    Point lineOrigin_, lineDirection_, cameraAt0_, cameraPerT_;
};

} // namespace calibration
