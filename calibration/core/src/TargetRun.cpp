#include "calibration/TargetRun.h"

#include <algorithm>

namespace calibration {

const char* Name(TargetRun::State state)
{
    switch (state) {
    case TargetRun::State::Measuring: return "Measuring";
    case TargetRun::State::Complete: return "Complete";
    case TargetRun::State::Cancelled: return "Cancelled";
    }
    return "?";
}

TargetRun::TargetRun(int targets, std::uint32_t nowMs, Guide guide)
    : guide_(std::move(guide)),
      points_(static_cast<std::size_t>(std::max(targets, 0))),
      lastActivityMs_(nowMs)
{
    for (int t = 0; t < targets; ++t) queue_.push_back(t);
    if (queue_.empty()) state_ = State::Complete;
    AimAtCurrent();
}

TargetRun::Step TargetRun::OnSample(const PenSample& sample)
{
    // A sample after a long silence finds the run timed out already.
    const Step timedOut = Timeout(sample.timeMs);
    if (timedOut.what != Happening::Nothing || state_ != State::Measuring) return timedOut;
    lastActivityMs_ = sample.timeMs;
    const TakeState before = taker_.State();
    const TakeState after = taker_.OnSample(sample);
    if (after == TakeState::Touching && before != TakeState::Touching) return {Happening::Pressed, CurrentTarget()};
    if (after != before) return Finish(after);
    return {};
}

TargetRun::Step TargetRun::OnTick(std::uint32_t nowMs)
{
    if (state_ != State::Measuring) return {};
    const TakeState before = taker_.State();
    const TakeState after = taker_.OnTick(nowMs);
    if (after != before) return Finish(after);
    return Timeout(nowMs);
}

TargetRun::Step TargetRun::Timeout(std::uint32_t nowMs)
{
    if (state_ != State::Measuring || nowMs - lastActivityMs_ < kIdleCancelMs) return {};
    const int target = CurrentTarget();
    state_ = State::Cancelled;
    return {Happening::TimedOut, target};
}

TargetRun::Step TargetRun::Finish(TakeState after)
{
    const int target = CurrentTarget();
    if (after == TakeState::Refused) return {Happening::Refused, target, taker_.LastRefusal()};
    if (after != TakeState::Taken) return {};
    points_[static_cast<std::size_t>(target)] = taker_.LastTouch().camera;
    takenOrder_.push_back(target);
    queue_.pop_front();
    if (queue_.empty()) {
        state_ = State::Complete;
        return {Happening::Completed, target};
    }
    AimAtCurrent();
    return {Happening::Taken, target};
}

bool TargetRun::Undo(std::uint32_t nowMs)
{
    if (state_ == State::Cancelled || takenOrder_.empty()) return false;
    const int target = takenOrder_.back();
    takenOrder_.pop_back();
    points_[static_cast<std::size_t>(target)].reset();
    queue_.push_front(target);
    state_ = State::Measuring;
    lastActivityMs_ = nowMs;
    AimAtCurrent();
    return true;
}

void TargetRun::Retake(const std::vector<int>& targets, std::uint32_t nowMs)
{
    if (state_ == State::Cancelled) return;
    for (int target : targets) {
        if (target < 0 || target >= TargetCount() || !points_[static_cast<std::size_t>(target)]) continue;
        points_[static_cast<std::size_t>(target)].reset();
        takenOrder_.erase(std::remove(takenOrder_.begin(), takenOrder_.end(), target), takenOrder_.end());
        queue_.push_back(target);
    }
    if (queue_.empty()) return;
    std::sort(queue_.begin(), queue_.end());
    state_ = State::Measuring;
    lastActivityMs_ = nowMs;
    AimAtCurrent();
}

void TargetRun::Cancel()
{
    state_ = State::Cancelled;
}

void TargetRun::AimAtCurrent()
{
    const int target = CurrentTarget();
    taker_.Expect(target >= 0 && guide_ ? guide_(target, points_) : Expectation{});
}

} // namespace calibration
