#pragma once
// A teacher's resting touch as the camera service reports it, at 60 frames
// a second: the pen lands (sliding in over the first frames), rests with the
// jitter of the camera's spot finding and the slow drift of a hand, slides
// a little as it lifts, and ends with a release record. Points are whole
// camera units, as the shared record carries them.
#include "calibration/PenSample.h"

#include <cstdint>
#include <random>
#include <vector>

namespace calibration_bench {

struct TouchNoise {
    double jitter = 0; // standard deviation per sample and axis, camera units
    double drift = 0;  // how far the hand wanders over the rest, camera units
};

inline constexpr TouchNoise kNoNoise{0, 0};
// A few camera units of jitter per sample, and a hand's small drift.
inline constexpr TouchNoise kTouchNoise{3, 8};

// The samples of one touch at `camera`, starting at `startMs`.
std::vector<calibration::PenSample> RestingTouch(const driver::Point& camera, std::uint32_t startMs,
                                                 const TouchNoise& noise, std::mt19937& random);

} // namespace calibration_bench
