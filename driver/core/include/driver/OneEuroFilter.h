#pragma once
// The smoothing stage of the adaptive chain, after the 1€ filter (Casiez,
// Roussel and Vogel, CHI 2012): a first-order low-pass filter whose cut-off
// rises with the pen's speed. A pen held still is smoothed hard (its noise
// is what the teacher sees as a trembling cursor); a moving pen is followed
// closely (its lag is what makes a stroke trail behind the pen).
//
// Per sample, with T the frame length:
//   velocity  low-pass of the sample-to-sample motion, cut-off
//             derivativeCutoffHz (differences of samples rather than of
//             output: a still pen's noise then largely cancels)
//   cut-off   minCutoffHz while Still; minCutoffHz + beta * speed while
//             Moving (see Stillness.h: a still pen's noise alone does not
//             open the filter)
//   output    moves by a = 1 / (1 + 1 / (2 pi cut-off T)) of the way to the
//             sample
// Both axes share one cut-off, so a diagonal or a circle is smoothed alike
// in every direction. Parameters are in camera units and seconds.
#include "driver/Geometry.h"
#include "driver/FilterSettings.h"
#include "driver/Stillness.h"

namespace driver {

class OneEuroFilter {
public:
    explicit OneEuroFilter(const OneEuroParameters& parameters)
        : parameters_(parameters),
          stillness_(parameters.stillSpeed)
    {}

    // A contact's first point: the output starts there, at rest.
    void Reset(const Point& first);
    // The next sample, `frameSeconds` after the one before (more than a
    // frame when a sample was dropped); the smoothed point.
    Point Push(const Point& sample, double frameSeconds);

    Stillness::Motion Motion() const { return stillness_.Current(); }
    // Camera units a second, as last estimated.
    double Speed() const { return speed_; }

private:
    OneEuroParameters parameters_;
    Stillness stillness_;
    Point output_;
    Point lastSample_;
    Point velocity_;
    double speed_ = 0;
};

} // namespace driver
