#include "driver/OneEuroFilter.h"

#include <cmath>

namespace driver {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The share of the way to a new sample that a first-order low-pass filter
// with this cut-off moves in one step of `seconds`.
double Smoothing(double cutoffHz, double seconds)
{
    const double tau = 1 / (2 * kPi * cutoffHz);
    return 1 / (1 + tau / seconds);
}

} // namespace

void OneEuroFilter::Reset(const Point& first)
{
    output_ = first;
    lastSample_ = first;
    velocity_ = {};
    speed_ = 0;
    stillness_.Reset();
}

Point OneEuroFilter::Push(const Point& sample, double frameSeconds)
{
    const double d = Smoothing(parameters_.derivativeCutoffHz, frameSeconds);
    velocity_.x += d * ((sample.x - lastSample_.x) / frameSeconds - velocity_.x);
    velocity_.y += d * ((sample.y - lastSample_.y) / frameSeconds - velocity_.y);
    lastSample_ = sample;
    speed_ = std::hypot(velocity_.x, velocity_.y);

    double cutoff = parameters_.minCutoffHz;
    if (stillness_.Judge(speed_) == Stillness::Motion::Moving) cutoff += parameters_.beta * speed_;
    const double a = Smoothing(cutoff, frameSeconds);
    output_.x += a * (sample.x - output_.x);
    output_.y += a * (sample.y - output_.y);
    return output_;
}

} // namespace driver
