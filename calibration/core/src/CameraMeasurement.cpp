#include "calibration/CameraMeasurement.h"

#include <algorithm>
#include <cmath>

namespace calibration {
namespace {

double CameraPixelsPerPicturePixel(int width)
{
    return width > 0 ? static_cast<double>(kCameraPictureWidth) / width : 1;
}

// Whether a spot the camera found at `camera` can be target `target`, as a
// touch could: near where the targets found so far put it, and on no spot
// taken for another. A reflection of the disc on the board's frame, or a
// stray light, is not taken for a target.
bool Plausible(const TargetLayout& layout, int target, const std::vector<std::optional<Point>>& found, Point camera)
{
    const Expectation expectation = CalibrationSession::ExpectationFor(layout, target, found);
    if (expectation.where && expectation.OffsetOf(camera) > expectation.within) return false;
    for (const Point& other : expectation.awayFrom)
        if (std::hypot(other.x - camera.x, other.y - camera.y) < expectation.apart) return false;
    return true;
}

// The window paints a disc at whole pixels.
Point PaintedPixel(const Point& place)
{
    return {std::round(place.x), std::round(place.y)};
}

} // namespace

const char* Name(CameraProblem problem)
{
    switch (problem) {
    case CameraProblem::None: return "none";
    case CameraProblem::NoPictures: return "no pictures from the camera";
    case CameraProblem::TooDark: return "the picture too dark";
    case CameraProblem::TooBright: return "the picture saturated";
    case CameraProblem::DoesNotFollow: return "the picture not following the screen";
    case CameraProblem::TargetNotFound: return "a target not found";
    }
    return "?";
}

double CameraMeasurement::DiscRadiusPx(ScreenSize screen)
{
    const double perCameraPixel = std::max(static_cast<double>(screen.width) / kCameraPictureWidth,
                                           static_cast<double>(screen.height) / kCameraPictureHeight);
    return std::max(2.0, kDiscCameraPx * perCameraPixel);
}

CameraMeasurement::CameraMeasurement(const TargetLayout& layout, std::uint32_t nowMs)
    : layout_(layout),
      found_(static_cast<std::size_t>(layout.Count())),
      startMs_(nowMs),
      lastMs_(nowMs),
      lastFrameMs_(nowMs)
{
    Show(ShownPattern{}, nowMs);
}

void CameraMeasurement::Show(ShownPattern pattern, std::uint32_t nowMs)
{
    pattern_ = pattern;
    ++patternNumber_;
    shownMs_.reset();
    patternMs_ = nowMs;
    recent_.clear();
    recentSpots_.clear();
    framesSincePattern_ = 0;
    framesSinceShown_ = 0;
}

void CameraMeasurement::NoteTime(std::uint32_t nowMs)
{
    if (state_ == State::Measuring) lastMs_ = nowMs;
}

void CameraMeasurement::OnPatternShown(unsigned patternNumber, std::uint32_t nowMs)
{
    NoteTime(nowMs);
    if (state_ == State::Measuring && patternNumber == patternNumber_ && !shownMs_) shownMs_ = nowMs;
}

SpotSearch CameraMeasurement::SearchFor(int width) const
{
    const double scale = 1 / CameraPixelsPerPicturePixel(width);
    SpotSearch search;
    search.windowRadius = static_cast<int>(std::ceil(kWindowCameraPx * scale));
    search.maxBlobPixels = static_cast<int>(search.maxBlobPixels * scale * scale);
    return search;
}

bool CameraMeasurement::Agree(const Spot& a, const Spot& b, int width) const
{
    if (!a.found || !b.found) return false;
    const double apart =
        std::hypot(a.position.x - b.position.x, a.position.y - b.position.y) * CameraPixelsPerPicturePixel(width);
    return apart <= kAgreeCameraPx &&
           std::fabs(a.energy - b.energy) <= kAgreeEnergyShare * std::max(a.energy, b.energy);
}

void CameraMeasurement::OnFrame(const CameraPicture& picture, std::uint32_t nowMs)
{
    NoteTime(nowMs);
    if (state_ != State::Measuring || picture.Empty()) return;
    lastFrameMs_ = nowMs;
    ++framesSincePattern_;
    // Before the window painted the pattern, a frame shows the one before.
    if (!shownMs_) return;
    // A frame of another size is another camera mode, not this picture.
    if (!reference_.Empty() && !reference_.SameSize(picture)) return;
    if (++framesSinceShown_ <= kLagFrames) return;

    recent_.push_back(picture);
    if (recent_.size() > static_cast<std::size_t>(kAgreeingFrames)) recent_.erase(recent_.begin());
    if (pattern_.kind == ShownPattern::Kind::Dark) {
        if (recent_.size() < static_cast<std::size_t>(kAgreeingFrames)) return;
        for (std::size_t i = 1; i < recent_.size(); ++i)
            if (ChangedShare(recent_[i - 1], recent_[i], kStillLevel) >= kStillShare) return;
    } else {
        recentSpots_.push_back(FindSpot(ImageOf(picture), reference_, SearchFor(picture.width)));
        if (recentSpots_.size() > static_cast<std::size_t>(kAgreeingFrames)) recentSpots_.erase(recentSpots_.begin());
        if (recentSpots_.size() < static_cast<std::size_t>(kAgreeingFrames)) return;
        for (const Spot& spot : recentSpots_)
            if (!Agree(recentSpots_.front(), spot, picture.width)) return;
    }
    std::vector<const CameraPicture*> frames;
    for (const CameraPicture& frame : recent_) frames.push_back(&frame);
    Settled(AverageOf(frames), nowMs);
}

void CameraMeasurement::Settled(const GreyImage& average, std::uint32_t nowMs)
{
    if (pattern_.kind == ShownPattern::Kind::Dark) {
        std::size_t saturated = 0;
        for (const float g : average.grey)
            if (g >= kSaturatedGrey) ++saturated;
        if (saturated >= kTooBrightShare * static_cast<double>(average.grey.size())) {
            Fail(CameraProblem::TooBright, nowMs);
            return;
        }
    } else {
        const Spot spot = FindSpot(average, reference_, SearchFor(average.width));
        const Point camera = CameraPointOf(spot.position, average.width, average.height);
        if (!spot.found || !Plausible(layout_, pattern_.target, found_, camera)) {
            // Frames that agree on a spot that is not this target: wait
            // for better ones, up to the bound.
            recent_.clear();
            recentSpots_.clear();
            return;
        }
        found_[static_cast<std::size_t>(pattern_.target)] = camera;
        ++targetsDone_;
    }
    reference_ = average;
    const int next = pattern_.kind == ShownPattern::Kind::Dark ? 0 : pattern_.target + 1;
    if (next >= layout_.Count()) {
        state_ = State::Complete;
        return;
    }
    ShownPattern target;
    target.kind = ShownPattern::Kind::Target;
    target.target = next;
    target.screen = PaintedPixel(layout_.ScreenPoint(next));
    target.radiusPx = DiscRadiusPx(layout_.Screen());
    Show(target, nowMs);
}

void CameraMeasurement::OnTick(std::uint32_t nowMs)
{
    NoteTime(nowMs);
    if (state_ != State::Measuring) return;
    if (nowMs - lastFrameMs_ >= kNoPicturesMs) {
        Fail(CameraProblem::NoPictures, nowMs);
        return;
    }
    // Counted from the paint, or from the change when the window never
    // painted it; only while frames come (else NoPictures decides).
    const std::uint32_t since = shownMs_.value_or(patternMs_);
    if (framesSincePattern_ > 0 && nowMs - since >= kSettleMs) Fail(WhyNotSettled(), nowMs);
}

CameraProblem CameraMeasurement::WhyNotSettled() const
{
    if (recent_.empty()) return CameraProblem::DoesNotFollow;
    const GreyImage latest = ImageOf(recent_.back());
    std::size_t saturated = 0;
    for (const float g : latest.grey)
        if (g >= kSaturatedGrey) ++saturated;
    if (saturated >= kTooBrightShare * static_cast<double>(latest.grey.size())) return CameraProblem::TooBright;
    // A dark picture that never stands still does not show the screen.
    if (pattern_.kind == ShownPattern::Kind::Dark) return CameraProblem::DoesNotFollow;
    const Spot spot = FindSpot(latest, reference_, SearchFor(latest.width));
    if (!spot.found && BrightestOf(latest) < kTooDarkGrey) return CameraProblem::TooDark;
    return targetsDone_ == 0 ? CameraProblem::DoesNotFollow : CameraProblem::TargetNotFound;
}

void CameraMeasurement::Fail(CameraProblem problem, std::uint32_t nowMs)
{
    lastMs_ = nowMs;
    problem_ = problem;
    problemTarget_ = pattern_.kind == ShownPattern::Kind::Target ? pattern_.target : -1;
    state_ = State::Failed;
}

void CameraMeasurement::Cancel()
{
    if (state_ == State::Measuring) state_ = State::Cancelled;
}

MeasuredGrid CameraMeasurement::Result() const
{
    MeasuredGrid result{layout_.Grid(), {}};
    for (int t = 0; t < layout_.Count(); ++t) {
        const std::optional<Point>& found = found_[static_cast<std::size_t>(t)];
        if (!found) {
            result.camera.push_back(Point{});
            continue;
        }
        const Point place = layout_.ScreenPoint(t);
        const Point painted = PaintedPixel(place);
        const GridPoint at = layout_.GridPointOf(t);
        // A target's columns share its screen x, its rows its screen y.
        const std::optional<Point> perX = CameraPerScreenPixel({at.column - 1, at.row}, {at.column + 1, at.row}, true);
        const std::optional<Point> perY = CameraPerScreenPixel({at.column, at.row - 1}, {at.column, at.row + 1}, false);
        Point camera = *found;
        if (perX) {
            camera.x += perX->x * (place.x - painted.x);
            camera.y += perX->y * (place.x - painted.x);
        }
        if (perY) {
            camera.x += perY->x * (place.y - painted.y);
            camera.y += perY->y * (place.y - painted.y);
        }
        result.camera.push_back(camera);
    }
    return result;
}

// How far the camera's point moves for a screen pixel along x (alongX) or y,
// between the painted discs of two targets on one column or row; the nearer
// one stands in for a neighbour beyond the grid's edge.
std::optional<Point> CameraMeasurement::CameraPerScreenPixel(GridPoint before, GridPoint after, bool alongX) const
{
    const GridPoint middle{(before.column + after.column) / 2, (before.row + after.row) / 2};
    if (!layout_.Contains(before)) before = middle;
    if (!layout_.Contains(after)) after = middle;
    const std::optional<Point>& from = found_[static_cast<std::size_t>(layout_.TargetAt(before))];
    const std::optional<Point>& to = found_[static_cast<std::size_t>(layout_.TargetAt(after))];
    if (!from || !to) return std::nullopt;
    const Point a = PaintedPixel(layout_.ScreenPoint(layout_.TargetAt(before)));
    const Point b = PaintedPixel(layout_.ScreenPoint(layout_.TargetAt(after)));
    const double apart = alongX ? b.x - a.x : b.y - a.y;
    if (std::fabs(apart) < 1) return std::nullopt;
    return Point{(to->x - from->x) / apart, (to->y - from->y) / apart};
}

} // namespace calibration
