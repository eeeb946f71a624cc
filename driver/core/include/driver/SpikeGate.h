#pragma once
// The first stage of the adaptive chain: a sample that lands far from where
// the contact was heading (a reflection, a stray infrared source) is held
// back one frame and dropped unless the next sample confirms it.
//
// Where the contact was heading is the last sample passed on plus its
// motion over the last frame, so a fast stroke is judged against its own
// course and not held back for moving fast. A held sample is confirmed when
// the next one lies far from that course too: the contact really went
// somewhere else (a jump, a sharp turn), and both go on, one frame late.
// Otherwise the held sample was a spike of one frame: it is dropped and the
// next one goes on in its place.
//
//   state    | sample near the course   | sample far from the course
//   ---------+--------------------------+----------------------------------
//   Tracking | passed on                | held, nothing passed -> Holding
//   Holding  | held one dropped, this   | held one and this one passed
//            | one passed -> Tracking   | -> Tracking
//
// Reset starts a contact: its first point passes at once and there is no
// course yet (the next sample is judged against the first point). A press
// or a release is never delayed by the gate: the press is the first point,
// and a sample still held at the release is simply never passed on.
#include "driver/Geometry.h"

#include <array>

namespace driver {

class SpikeGate {
public:
    enum class State { Tracking, Holding };

    // Camera units between a sample and where it was expected beyond which
    // it is suspect. A spike throws a sample some 200 units off; a pen
    // drawing a curve of 200 units' radius at 6,000 units a second strays
    // from a straight course by about 50 units a frame.
    static constexpr double kFarDistance = 120;

    // The samples to pass on for one pushed sample, oldest first.
    struct Passed {
        std::array<Point, 2> points{};
        int count = 0;
    };

    void Reset(const Point& first);
    Passed Push(const Point& sample);

    State CurrentState() const { return state_; }

private:
    bool OffCourse(const Point& sample, int framesAhead) const;
    void Accept(const Point& sample, int frames);

    State state_ = State::Tracking;
    Point last_;   // the last sample passed on
    Point motion_; // its motion per frame, zero at a contact's start
    Point held_;
};

const char* Name(SpikeGate::State state);

} // namespace driver
