#include "calibration/CameraFit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace calibration {
namespace {

// A pivot this much smaller than the system's largest entry means the pairs
// do not fix the model (measured points exactly on one line, say); values
// from real, noisy pairs never come near it.
constexpr double kSingularPivot = 1e-9;
// A screen place this far off the line of a Line fit (in normalised units,
// a fraction of the pairs' spread) is not on it.
constexpr double kOffLine = 1e-6;

// Solves the n x n system `a` x = `b` (row by row) in place by Gaussian
// elimination with partial pivoting; false when it is singular.
template <std::size_t N>
bool Solve(std::array<std::array<double, N>, N>& a, std::array<double, N>& b)
{
    double largest = 0;
    for (const auto& row : a)
        for (double v : row) largest = std::fmax(largest, std::fabs(v));
    if (!(largest > 0)) return false;
    for (std::size_t col = 0; col < N; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < N; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (!(std::fabs(a[pivot][col]) > kSingularPivot * largest)) return false;
        std::swap(a[pivot], a[col]);
        std::swap(b[pivot], b[col]);
        for (std::size_t r = col + 1; r < N; ++r) {
            const double f = a[r][col] / a[col][col];
            for (std::size_t c = col; c < N; ++c) a[r][c] -= f * a[col][c];
            b[r] -= f * b[col];
        }
    }
    for (std::size_t col = N; col-- > 0;) {
        double sum = b[col];
        for (std::size_t c = col + 1; c < N; ++c) sum -= a[col][c] * b[c];
        b[col] = sum / a[col][col];
    }
    return true;
}

// Adds the equation row . x = rhs to the normal equations.
template <std::size_t N>
void Accumulate(std::array<std::array<double, N>, N>& ata, std::array<double, N>& atb, const std::array<double, N>& row,
                double rhs)
{
    for (std::size_t i = 0; i < N; ++i) {
        for (std::size_t j = 0; j < N; ++j) ata[i][j] += row[i] * row[j];
        atb[i] += row[i] * rhs;
    }
}

template <typename Pick>
Point Centroid(const std::vector<MeasuredPair>& pairs, Pick pick)
{
    Point sum;
    for (const MeasuredPair& p : pairs) {
        sum.x += pick(p).x;
        sum.y += pick(p).y;
    }
    const double n = static_cast<double>(pairs.size());
    return {sum.x / n, sum.y / n};
}

template <typename Pick>
double UnitScale(const std::vector<MeasuredPair>& pairs, const Point& centre, Pick pick)
{
    double sum = 0;
    for (const MeasuredPair& p : pairs) sum += std::hypot(pick(p).x - centre.x, pick(p).y - centre.y);
    const double mean = sum / static_cast<double>(pairs.size());
    return mean > 0 ? 1 / mean : 1;
}

bool Collinear(const Point& a, const Point& b, const Point& c)
{
    return std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) <= kOffLine;
}

// How many of `points` lie on the line through `a` and `b`.
std::size_t OnLine(const std::vector<Point>& points, const Point& a, const Point& b)
{
    std::size_t n = 0;
    for (const Point& p : points) n += Collinear(a, b, p) ? 1 : 0;
    return n;
}

// The most points of `points` that one line through `points[first]` holds.
std::size_t MostOnALineThrough(const std::vector<Point>& points, std::size_t first)
{
    std::size_t most = 1;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == first) continue;
        const Point& a = points[first];
        const Point& b = points[i];
        if (std::hypot(b.x - a.x, b.y - a.y) <= kOffLine) continue;
        const std::size_t n = OnLine(points, a, b);
        if (n > most) most = n;
    }
    return most;
}

// The most points one line holds, when that is all of them or all but one:
// such a line runs through the first or the second point.
std::size_t MostOnOneLine(const std::vector<Point>& points)
{
    if (points.size() < 2) return points.size();
    return std::max(MostOnALineThrough(points, 0), MostOnALineThrough(points, 1));
}

} // namespace

const char* Name(FitKind kind)
{
    switch (kind) {
    case FitKind::None: return "None";
    case FitKind::Line: return "Line";
    case FitKind::Affine: return "Affine";
    case FitKind::Projective: return "Projective";
    }
    return "?";
}

CameraFit CameraFit::Of(const std::vector<MeasuredPair>& pairs)
{
    CameraFit fit;
    if (pairs.size() < 2) return fit;
    const auto screenOf = [](const MeasuredPair& p) -> const Point& { return p.screen; };
    const auto cameraOf = [](const MeasuredPair& p) -> const Point& { return p.camera; };
    fit.screenNorm_.centre = Centroid(pairs, screenOf);
    fit.screenNorm_.scale = UnitScale(pairs, fit.screenNorm_.centre, screenOf);
    fit.cameraNorm_.centre = Centroid(pairs, cameraOf);
    fit.cameraNorm_.scale = UnitScale(pairs, fit.cameraNorm_.centre, cameraOf);

    // What the screen places fix decides the model, not the camera points:
    // noise would let a least-squares fit look determined where it is not.
    std::vector<Point> screens;
    for (const MeasuredPair& p : pairs) screens.push_back(fit.screenNorm_.To(p.screen));
    const std::size_t onOneLine = MostOnOneLine(screens);
    const std::size_t n = pairs.size();
    if (n >= 4 && onOneLine < n - 1 && fit.FitProjective(pairs)) {
        fit.kind_ = FitKind::Projective;
    } else if (n >= 3 && onOneLine < n && fit.FitAffine(pairs)) {
        fit.kind_ = FitKind::Affine;
    } else if (onOneLine == n && fit.FitLine(pairs)) {
        fit.kind_ = FitKind::Line;
    }
    return fit;
}

bool CameraFit::FitProjective(const std::vector<MeasuredPair>& pairs)
{
    // u (g X + h Y + 1) = a X + b Y + c and v (g X + h Y + 1) = d X + e Y + f,
    // linear in a..h.
    std::array<std::array<double, 8>, 8> ata = {};
    std::array<double, 8> atb = {};
    for (const MeasuredPair& p : pairs) {
        const Point s = screenNorm_.To(p.screen);
        const Point c = cameraNorm_.To(p.camera);
        Accumulate(ata, atb, {s.x, s.y, 1, 0, 0, 0, -c.x * s.x, -c.x * s.y}, c.x);
        Accumulate(ata, atb, {0, 0, 0, s.x, s.y, 1, -c.y * s.x, -c.y * s.y}, c.y);
    }
    if (!Solve(ata, atb)) return false;
    h_ = atb;
    return true;
}

bool CameraFit::FitAffine(const std::vector<MeasuredPair>& pairs)
{
    std::array<std::array<double, 3>, 3> ata = {};
    std::array<double, 3> atbX = {}, atbY = {};
    for (const MeasuredPair& p : pairs) {
        const Point s = screenNorm_.To(p.screen);
        const Point c = cameraNorm_.To(p.camera);
        const std::array<double, 3> row = {s.x, s.y, 1};
        Accumulate(ata, atbX, row, c.x);
        for (std::size_t i = 0; i < 3; ++i) atbY[i] += row[i] * c.y;
    }
    auto ataY = ata;
    if (!Solve(ata, atbX) || !Solve(ataY, atbY)) return false;
    h_ = {atbX[0], atbX[1], atbX[2], atbY[0], atbY[1], atbY[2], 0, 0};
    return true;
}

bool CameraFit::FitLine(const std::vector<MeasuredPair>& pairs)
{
    // The direction from the first pair to the one farthest from it.
    const Point origin = screenNorm_.To(pairs.front().screen);
    Point far = origin;
    for (const MeasuredPair& p : pairs) {
        const Point s = screenNorm_.To(p.screen);
        if (std::hypot(s.x - origin.x, s.y - origin.y) > std::hypot(far.x - origin.x, far.y - origin.y)) far = s;
    }
    const double length = std::hypot(far.x - origin.x, far.y - origin.y);
    if (!(length > 0)) return false;
    lineOrigin_ = origin;
    lineDirection_ = {(far.x - origin.x) / length, (far.y - origin.y) / length};

    // camera = cameraAt0 + t cameraPerT by least squares over t.
    std::array<std::array<double, 2>, 2> ata = {};
    std::array<double, 2> atbX = {}, atbY = {};
    for (const MeasuredPair& p : pairs) {
        const Point s = screenNorm_.To(p.screen);
        const double t = (s.x - origin.x) * lineDirection_.x + (s.y - origin.y) * lineDirection_.y;
        const double off = -(s.x - origin.x) * lineDirection_.y + (s.y - origin.y) * lineDirection_.x;
        if (std::fabs(off) > kOffLine) return false; // not all on one line
        const Point c = cameraNorm_.To(p.camera);
        Accumulate(ata, atbX, {1, t}, c.x);
        atbY[0] += c.y;
        atbY[1] += t * c.y;
    }
    auto ataY = ata;
    if (!Solve(ata, atbX) || !Solve(ataY, atbY)) return false;
    cameraAt0_ = {atbX[0], atbY[0]};
    cameraPerT_ = {atbX[1], atbY[1]};
    return true;
}

std::optional<Point> CameraFit::Predict(const Point& screen) const
{
    const Point s = screenNorm_.To(screen);
    Point c;
    switch (kind_) {
    case FitKind::None: return std::nullopt;
    case FitKind::Line: {
        const double t = (s.x - lineOrigin_.x) * lineDirection_.x + (s.y - lineOrigin_.y) * lineDirection_.y;
        const double off = -(s.x - lineOrigin_.x) * lineDirection_.y + (s.y - lineOrigin_.y) * lineDirection_.x;
        if (std::fabs(off) > kOffLine) return std::nullopt;
        c = {cameraAt0_.x + t * cameraPerT_.x, cameraAt0_.y + t * cameraPerT_.y};
        break;
    }
    case FitKind::Affine:
    case FitKind::Projective: {
        const double w = h_[6] * s.x + h_[7] * s.y + 1;
        if (!(std::fabs(w) > 0)) return std::nullopt;
        c = {(h_[0] * s.x + h_[1] * s.y + h_[2]) / w, (h_[3] * s.x + h_[4] * s.y + h_[5]) / w};
        break;
    }
    }
    const Point camera = cameraNorm_.From(c);
    if (!std::isfinite(camera.x) || !std::isfinite(camera.y)) return std::nullopt;
    return camera;
}

} // namespace calibration
