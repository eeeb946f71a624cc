#include "calibration/TouchTaker.h"

#include "driver/Calibration.h"

#include <algorithm>
#include <cmath>

namespace calibration {
namespace {

double Median(std::vector<double> values)
{
    const std::size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid), values.end());
    const double upper = values[mid];
    if (values.size() % 2 == 1) return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid));
    return (lower + upper) / 2;
}

double Distance(const Point& a, const Point& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

bool InCameraSpace(const Point& p)
{
    return p.x >= 0 && p.x <= driver::CCalibration::kCameraWidth && p.y >= 0 &&
           p.y <= driver::CCalibration::kCameraHeight;
}

} // namespace

double Expectation::OffsetOf(const Point& point) const
{
    const auto& m = toSteps;
    const double dx = point.x - where->x, dy = point.y - where->y;
    return std::hypot(m[0] * dx + m[1] * dy, m[2] * dx + m[3] * dy);
}

const char* Name(TakeState state)
{
    switch (state) {
    case TakeState::AwaitingTouch: return "AwaitingTouch";
    case TakeState::Touching: return "Touching";
    case TakeState::Taken: return "Taken";
    case TakeState::Refused: return "Refused";
    }
    return "?";
}

const char* Name(Refusal refusal)
{
    switch (refusal) {
    case Refusal::None: return "None";
    case Refusal::TooShort: return "TooShort";
    case Refusal::Moved: return "Moved";
    case Refusal::OutsideCamera: return "OutsideCamera";
    case Refusal::FarFromTarget: return "FarFromTarget";
    case Refusal::OnEarlierSpot: return "OnEarlierSpot";
    }
    return "?";
}

void TouchTaker::Expect(Expectation expectation)
{
    expectation_ = std::move(expectation);
    state_ = TakeState::AwaitingTouch;
    refusal_ = Refusal::None;
    samples_.clear();
    touch_ = {};
}

TakeState TouchTaker::OnSample(const PenSample& sample)
{
    switch (state_) {
    case TakeState::AwaitingTouch:
    case TakeState::Taken:
    case TakeState::Refused:
        if (sample.down) Press(sample); // a release alone ends nothing
        break;
    case TakeState::Touching:
        if (sample.timeMs - lastSampleMs_ > kSilenceMs) {
            // The contact had ended unseen; this sample belongs to none yet.
            Finish(lastSampleMs_);
        } else if (!sample.down) {
            Finish(sample.timeMs);
        } else {
            samples_.push_back({sample.timeMs, sample.camera});
            if (samples_.size() > kMaxSamples) samples_.pop_front();
            lastSampleMs_ = sample.timeMs;
        }
        break;
    }
    return state_;
}

TakeState TouchTaker::OnTick(std::uint32_t nowMs)
{
    if (state_ == TakeState::Touching && nowMs - lastSampleMs_ > kSilenceMs) Finish(lastSampleMs_);
    return state_;
}

void TouchTaker::Press(const PenSample& sample)
{
    state_ = TakeState::Touching;
    refusal_ = Refusal::None;
    touch_ = {};
    samples_.clear();
    samples_.push_back({sample.timeMs, sample.camera});
    pressMs_ = sample.timeMs;
    lastSampleMs_ = sample.timeMs;
}

void TouchTaker::Finish(std::uint32_t releaseMs)
{
    std::vector<Point> still;
    for (const Timed& s : samples_) {
        // Differences of the unsigned clock stay right across its wrap.
        if (s.timeMs - pressMs_ >= kSettleMs && releaseMs - s.timeMs >= kLiftMs) still.push_back(s.camera);
    }
    samples_.clear();
    refusal_ = Judge(still);
    state_ = refusal_ == Refusal::None ? TakeState::Taken : TakeState::Refused;
}

Refusal TouchTaker::Judge(const std::vector<Point>& still)
{
    touch_ = {};
    touch_.stillSamples = static_cast<int>(still.size());
    if (touch_.stillSamples < kMinStillSamples) return Refusal::TooShort;

    std::vector<double> xs, ys;
    for (const Point& p : still) {
        xs.push_back(p.x);
        ys.push_back(p.y);
    }
    touch_.camera = {Median(xs), Median(ys)};
    std::vector<double> distances;
    for (const Point& p : still) distances.push_back(Distance(p, touch_.camera));
    const auto share = static_cast<std::size_t>(std::ceil(kSpreadShare * static_cast<double>(distances.size())));
    const auto at = distances.begin() + static_cast<std::ptrdiff_t>(share - 1);
    std::nth_element(distances.begin(), at, distances.end());
    touch_.spread = *at;

    if (touch_.spread > kMaxSpread) return Refusal::Moved;
    if (!InCameraSpace(touch_.camera)) return Refusal::OutsideCamera;
    if (expectation_.where && expectation_.OffsetOf(touch_.camera) > expectation_.within) return Refusal::FarFromTarget;
    for (const Point& spot : expectation_.awayFrom)
        if (Distance(touch_.camera, spot) < expectation_.apart) return Refusal::OnEarlierSpot;
    return Refusal::None;
}

} // namespace calibration
