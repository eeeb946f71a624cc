#pragma once
// The adaptive smoothing of one contact, in camera units, as a chain of
// stages: the spike gate (SpikeGate.h), then the speed-dependent low-pass
// filter (OneEuroFilter.h, with Stillness.h). Time comes from the records'
// clock: each sample is one camera frame, and the frame's length is the
// running mean of the gaps between samples (FrameClock.h), whatever the
// worker's 2 ms polls did in between.
//
// Each pointer (mouse, touch socket) owns a chain and resets it at every
// press; the contact tracker owns one per slot and resets it when a contact
// starts. A press passes unchanged, so the press lands where the pen came
// down and press-and-hold keeps its anchor there; what follows is smoothed,
// and press-and-hold counts on the smoothed points.
#include "driver/Calibration.h"
#include "driver/FilterSettings.h"
#include "driver/FrameClock.h"
#include "driver/OneEuroFilter.h"
#include "driver/SpikeGate.h"

#include <cstdint>

namespace driver {

class PointFilter {
public:
    explicit PointFilter(const OneEuroParameters& parameters)
        : smoothing_(parameters)
    {}

    // A contact starts at `first`, arriving at `now` (the records' clock in
    // milliseconds); the first point passes unchanged.
    void Reset(const Point& first, std::uint32_t now);
    // The contact's next sample: true with the point to show in `shown`, or
    // false while the spike gate holds the sample back (nothing new to show
    // for this frame).
    bool Push(const Point& sample, std::uint32_t now, Point& shown);

    const SpikeGate& Gate() const { return gate_; }
    const OneEuroFilter& Smoothing() const { return smoothing_; }

private:
    FrameClock clock_;
    SpikeGate gate_;
    OneEuroFilter smoothing_;
    // Frames since the smoothing stage last took a sample.
    int framesWaiting_ = 0;
};

} // namespace driver
