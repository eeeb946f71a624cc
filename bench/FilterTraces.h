#pragma once
// Traces with a known truth for judging the smoothing: what a camera at 60
// frames a second reports of a pen on the board (camera space 3200 x 2400,
// a contact's samples with Gaussian noise, a release when the pen lifts), and
// where the pen really was at each frame.
#include "driver/Geometry.h"
#include "driver/TouchRecord.h"

#include <cstddef>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace filterbench {

using driver::Point;

inline constexpr double kFrameMs = 1000.0 / 60;

// Where the pen is, `seconds` after it came down.
using Path = std::function<Point(double seconds)>;

struct TraceFrame {
    double atMs = 0;                                       // when the camera wrote the record
    driver::SlotStatus status = driver::SlotStatus::Empty; // Empty: no record
    Point sample;                                          // what the camera reported (Contact only)
    Point truth;                                           // where the pen was
    bool spike = false;
};

// One contact: from its first sample to its release, both included.
struct Stroke {
    std::size_t first = 0;
    std::size_t release = 0;
    double downMs = 0;
    Path path;
};

struct Trace {
    std::vector<TraceFrame> frames;
    std::vector<Stroke> strokes;
};

// Writes a trace frame by frame.
class TraceWriter {
public:
    TraceWriter(double sigma, unsigned seed)
        : random_(seed),
          noise_(0, sigma)
    {}

    // The pen on the board along `path` for `seconds`, then lifted (a
    // release record) and away for `pauseSeconds`.
    void Stroke(const Path& path, double seconds, double pauseSeconds = 0.2);
    Trace Take() { return std::move(trace_); }

private:
    TraceFrame& Next(driver::SlotStatus status);

    std::mt19937 random_;
    std::normal_distribution<double> noise_;
    Trace trace_;
    long frame_ = 0;
};

// A pen held still at a few places, 10 s each.
Trace StillPen(double sigma);
// Strokes at a constant speed in camera units a second, sampled with noise
// of 2 units: straight lines in four directions; circles of 500 units'
// radius; handwriting-like loops (a row of cursive loops whose size grows
// with the speed, so that each loop takes 0.4 s, as writing keeps its
// rhythm when it grows).
Trace Lines(double speed);
Trace Circles(double speed);
Trace Handwriting(double speed);
// The same trace with every 15th contact sample or so (never a contact's
// first three, never its last) thrown `distance` units off in a random
// direction, as reflections and stray infrared sources do.
Trace WithSpikes(const Trace& clean, double distance, unsigned seed);
// Short contacts (4 to 8 frames) and press-and-holds (2 s) with noise of
// `sigma`, each somewhere else on the board.
Trace Taps(double sigma, int count);
Trace PressAndHolds(double sigma, int count);

} // namespace filterbench
