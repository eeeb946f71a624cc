#pragma once
// Taking one target's touch. The pen lands, rests on the target and lifts.
// Landing and lifting move the point, so the samples within kSettleMs after
// the press and within kLiftMs before the release are dropped; the point
// taken is the median, per axis, of the still samples between them.
//
//   AwaitingTouch --press--> Touching
//   Touching --sample--> Touching
//   Touching --release, or no sample for kSilenceMs--> Taken | Refused
//   Taken, Refused --press--> Touching      (a refused target stays; the next touch tries again)
//   any --Expect--> AwaitingTouch           (the next target, or the same one after an undo)
//
// A touch is refused when it leaves fewer than kMinStillSamples still
// samples (TooShort), when the pen slid while resting (Moved), when its
// point lies outside camera space (OutsideCamera), when it lands far from
// where the points already measured say the target is (FarFromTarget: the
// wrong target, a hand resting on the board) or on a spot already taken
// for another target (OnEarlierSpot).
#include "calibration/PenSample.h"

#include "driver/Geometry.h"

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace calibration {

using driver::Point;

enum class TakeState { AwaitingTouch, Touching, Taken, Refused };
enum class Refusal { None, TooShort, Moved, OutsideCamera, FarFromTarget, OnEarlierSpot };

const char* Name(TakeState state);
const char* Name(Refusal refusal);

// What the points taken so far say about the target.
struct Expectation {
    // Where the target must be, when that can be told, and how far from
    // there a touch may land: the distance of a camera offset after
    // `toSteps` (row by row) turned it into grid steps.
    // (Not "near": the Windows headers define that away.)
    std::optional<Point> where;
    std::array<double, 4> toSteps = {1, 0, 0, 1};
    double within = 0;
    // How far `point` lies from `where`, counted so; `where` must be set.
    double OffsetOf(const Point& point) const;
    // Spots taken for other targets, which a touch must stay `apart` from
    // (camera units).
    std::vector<Point> awayFrom;
    double apart = 0;
};

struct TakenTouch {
    Point camera;         // the median of the still samples
    double spread = 0;    // radius around it that holds kSpreadShare of them
    int stillSamples = 0; // how many samples the point was taken from
};

class TouchTaker {
public:
    // A pen takes about 100 ms to settle after it lands, and starts to slide
    // about as long before it lifts.
    static constexpr std::uint32_t kSettleMs = 100;
    static constexpr std::uint32_t kLiftMs = 100;
    // About 80 ms of rest at 60 frames a second: a tap is not a rest.
    static constexpr int kMinStillSamples = 5;
    // A pen at rest jitters a few camera units and a hand drifts a few more;
    // a slide of a hand's breadth shows as tens. The radius counts 90 % of
    // the samples, so a lone spike of the camera does not refuse a good rest.
    static constexpr double kMaxSpread = 30;
    static constexpr double kSpreadShare = 0.9;
    // The driver ends a contact whose samples stop for this long.
    static constexpr std::uint32_t kSilenceMs = 500;
    // A pen held for half a minute at 120 frames a second; older samples go.
    static constexpr std::size_t kMaxSamples = 4096;

    // Starts over for a target: a touch in progress is dropped.
    void Expect(Expectation expectation);

    TakeState OnSample(const PenSample& sample);
    // The passing of time: a touch whose samples stopped ends.
    TakeState OnTick(std::uint32_t nowMs);

    TakeState State() const { return state_; }
    // Why the last touch was refused; None unless Refused.
    Refusal LastRefusal() const { return refusal_; }
    // The last touch as judged: the taken point when Taken, the refused one
    // when Refused (empty for a touch too short to give a point).
    const TakenTouch& LastTouch() const { return touch_; }

private:
    struct Timed {
        std::uint32_t timeMs;
        Point camera;
    };

    void Press(const PenSample& sample);
    void Finish(std::uint32_t releaseMs);
    Refusal Judge(const std::vector<Point>& still);

    TakeState state_ = TakeState::AwaitingTouch;
    Refusal refusal_ = Refusal::None;
    Expectation expectation_;
    std::deque<Timed> samples_;
    std::uint32_t pressMs_ = 0;
    std::uint32_t lastSampleMs_ = 0;
    TakenTouch touch_;
};

} // namespace calibration
