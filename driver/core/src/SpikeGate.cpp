#include "driver/SpikeGate.h"

#include <cmath>

namespace driver {

const char* Name(SpikeGate::State state)
{
    switch (state) {
    case SpikeGate::State::Tracking: return "Tracking";
    case SpikeGate::State::Holding: return "Holding";
    }
    return "?";
}

void SpikeGate::Reset(const Point& first)
{
    state_ = State::Tracking;
    last_ = first;
    motion_ = {};
}

SpikeGate::Passed SpikeGate::Push(const Point& sample)
{
    Passed passed;
    switch (state_) {
    case State::Tracking:
        if (OffCourse(sample, 1)) {
            held_ = sample;
            state_ = State::Holding;
            break;
        }
        Accept(sample, 1);
        passed.points[passed.count++] = sample;
        break;
    case State::Holding:
        if (OffCourse(sample, 2)) {
            Accept(held_, 1);
            passed.points[passed.count++] = held_;
            Accept(sample, 1);
        } else {
            // Two frames since the last sample passed on: the held one is gone.
            Accept(sample, 2);
        }
        passed.points[passed.count++] = sample;
        state_ = State::Tracking;
        break;
    }
    return passed;
}

bool SpikeGate::OffCourse(const Point& sample, int framesAhead) const
{
    const double expectedX = last_.x + motion_.x * framesAhead;
    const double expectedY = last_.y + motion_.y * framesAhead;
    return std::hypot(sample.x - expectedX, sample.y - expectedY) > kFarDistance;
}

void SpikeGate::Accept(const Point& sample, int frames)
{
    motion_ = {(sample.x - last_.x) / frames, (sample.y - last_.y) / frames};
    last_ = sample;
}

} // namespace driver
