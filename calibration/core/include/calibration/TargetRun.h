#pragma once
// A run of targets touched one after the other: the grid's points, the board
// keys or the accuracy check's places. It keeps which targets are still to
// be taken (in target order), the points taken so far and the order they
// were taken in, so that the last one can be taken back.
//
//   Measuring --a target taken, others left--> Measuring (the next target)
//   Measuring --the last target taken--> Complete
//   Measuring --Undo--> Measuring (the target taken last is current again)
//   Measuring --no sample for kIdleCancelMs--> Cancelled
//   Complete --Undo or Retake--> Measuring
//   Measuring, Complete --Cancel--> Cancelled
//
// Time is the program's clock as the caller reads it; the run never reads
// a clock of its own.
#include "calibration/PenSample.h"
#include "calibration/TouchTaker.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace calibration {

class TargetRun {
public:
    enum class State { Measuring, Complete, Cancelled };
    // What a call brought about, for the window to show.
    enum class Happening { Nothing, Pressed, Taken, Refused, Completed, TimedOut };
    struct Step {
        Happening what = Happening::Nothing;
        int target = -1;                 // the target it concerns
        Refusal refusal = Refusal::None; // why, when Refused
    };

    using Points = std::vector<std::optional<Point>>;
    // What the points taken so far say about `target`.
    using Guide = std::function<Expectation(int target, const Points& taken)>;

    // A teacher who walked away from the board.
    static constexpr std::uint32_t kIdleCancelMs = 60000;

    TargetRun(int targets, std::uint32_t nowMs, Guide guide);

    Step OnSample(const PenSample& sample);
    Step OnTick(std::uint32_t nowMs);
    // Takes the last taken point back; false when none was taken.
    bool Undo(std::uint32_t nowMs);
    // Takes these points back to be touched again, in target order.
    void Retake(const std::vector<int>& targets, std::uint32_t nowMs);
    void Cancel();

    State CurrentState() const { return state_; }
    // The target to touch now; -1 unless Measuring.
    int CurrentTarget() const { return state_ == State::Measuring && !queue_.empty() ? queue_.front() : -1; }
    int TargetCount() const { return static_cast<int>(points_.size()); }
    int TakenCount() const { return static_cast<int>(takenOrder_.size()); }
    const Points& TakenPoints() const { return points_; }
    // The current target's touch, for the window (the pen resting, say).
    TakeState Touch() const { return taker_.State(); }
    // The last touch as judged, taken or refused (TouchTaker::LastTouch).
    const TakenTouch& LastTouch() const { return taker_.LastTouch(); }

private:
    Step Finish(TakeState after);
    void AimAtCurrent();
    Step Timeout(std::uint32_t nowMs);

    State state_ = State::Measuring;
    Guide guide_;
    Points points_;
    std::deque<int> queue_;
    std::vector<int> takenOrder_;
    TouchTaker taker_;
    std::uint32_t lastActivityMs_ = 0;
};

const char* Name(TargetRun::State state);

} // namespace calibration
