#pragma once
// The adaptive smoothing of one contact, in camera units, as a chain of
// stages: the spike gate (SpikeGate.h), then the speed-dependent low-pass
// filter (OneEuroFilter.h, with Stillness.h). Time comes from the records'
// clock: each sample is one camera frame, and the frame's length is the
// running mean of the gaps between samples (FrameClock.h), whatever the
// worker's 2 ms polls did in between.
//
// One of the smoothing stages (SmoothingStage.h): with [Filter]
// MODE=adaptive each pointer (mouse, touch socket) and each tracked contact
// has a chain of its own, restarted at every press. A press passes
// unchanged, so the press lands where the pen came down and press-and-hold
// keeps its anchor there; what follows is smoothed, and press-and-hold counts
// on the smoothed points. Points in another unit (the touch socket's pixels)
// are scaled to camera units on the way in and back on the way out.
#include "driver/Geometry.h"
#include "driver/FilterSettings.h"
#include "driver/FrameClock.h"
#include "driver/OneEuroFilter.h"
#include "driver/SmoothingStage.h"
#include "driver/SpikeGate.h"

#include <cstdint>

namespace driver {

class PointFilter final : public SmoothingStage {
public:
    explicit PointFilter(const OneEuroParameters& parameters)
        : smoothing_(parameters)
    {}

    void Start(const Point& first, std::uint32_t now, PointUnit unit) override;
    // False while the spike gate holds the sample back.
    bool Next(const Point& sample, std::uint32_t now, Point& shown) override;

    const SpikeGate& Gate() const { return gate_; }
    const OneEuroFilter& Smoothing() const { return smoothing_; }

private:
    Point ToCamera(const Point& point) const;
    Point FromCamera(const Point& point) const;

    PointUnit unit_;
    FrameClock clock_;
    SpikeGate gate_;
    OneEuroFilter smoothing_;
    // Frames since the smoothing stage last took a sample.
    int framesWaiting_ = 0;
};

} // namespace driver
