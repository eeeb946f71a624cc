#pragma once
// The length of a camera frame, from the times at which a contact's samples
// arrive (the records' clock, in milliseconds). Each sample is one frame,
// however many 2 ms polls went by in between. Single gaps wobble (the
// worker reads on a 2 ms beat, and the system's tick may be as coarse as a
// frame), so a filter takes their running mean rather than the last gap.
// The mean outlives a contact: it belongs to the camera, not the stroke.
#include <cstdint>

namespace driver {

class FrameClock {
public:
    static constexpr double kAssumedMs = 1000.0 / 60; // until gaps have been seen
    // A frame lasts at least one worker beat; a gap longer than the longest
    // frame (a camera that stalled) says nothing about the camera's rate and
    // is left out of the mean.
    static constexpr double kShortestMs = 2;
    static constexpr double kLongestMs = 100;
    static constexpr double kWeight = 1.0 / 8; // of each new gap in the mean

    // A contact's first sample arrived at `now`.
    void Start(std::uint32_t now) { last_ = now; }
    // A further sample arrived at `now`: the frame length in seconds.
    double Advance(std::uint32_t now);

    double PeriodMs() const { return periodMs_; }

private:
    std::uint32_t last_ = 0;
    double periodMs_ = kAssumedMs;
};

} // namespace driver
