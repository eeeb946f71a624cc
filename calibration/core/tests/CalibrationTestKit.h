#pragma once
// What the calibration's tests feed it: a camera that sees the board in
// perspective, and a teacher's resting touches as sample streams.
#include "calibration/PenSample.h"
#include "calibration/TargetRun.h"

#include "driver/Desktop.h"
#include "driver/Geometry.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace calibration_testing {

using calibration::PenSample;
using calibration::TargetRun;
using driver::Point;

constexpr driver::ScreenSize kBoard{1024, 768};

// The board seen from above: rows nearer the bottom are farther away and so
// narrower; `k1` bends the picture as a wide-angle lens does (around the
// picture's middle, radius normalised to 1600 camera units); upside down
// turns the whole picture as a camera hung that way does.
class TestCamera {
public:
    explicit TestCamera(bool upsideDown = false, double k1 = 0)
        : upsideDown_(upsideDown),
          k1_(k1)
    {}

    Point See(const Point& screen) const
    {
        const double u = screen.x / kBoard.width, v = screen.y / kBoard.height;
        const double w = 1 + 0.2 * v;
        Point p{1600 + (u - 0.5) * 2600 / w, 250 + 2000 * v / w};
        const double r2 = ((p.x - 1600) * (p.x - 1600) + (p.y - 1200) * (p.y - 1200)) / (1600.0 * 1600.0);
        p = {1600 + (p.x - 1600) * (1 + k1_ * r2), 1200 + (p.y - 1200) * (1 + k1_ * r2)};
        if (upsideDown_) p = {3200 - p.x, 2400 - p.y};
        return p;
    }

private:
    bool upsideDown_;
    double k1_;
};

constexpr std::uint32_t kFrameMs = 16;

// A pen landing at `camera` from 30 units away, resting `restMs` with a
// jitter of a unit, lifting off sideways, and the release.
inline std::vector<PenSample> RestingTouch(const Point& camera, std::uint32_t startMs, std::uint32_t restMs = 600)
{
    std::vector<PenSample> samples;
    std::uint32_t t = startMs;
    for (double slide : {30.0, 20.0, 10.0}) {
        samples.push_back({t, {camera.x + slide, camera.y - slide}, true});
        t += kFrameMs;
    }
    for (std::uint32_t rested = 0; rested < restMs; rested += kFrameMs, t += kFrameMs) {
        const double jitter = (rested / kFrameMs) % 2 == 0 ? 1 : -1;
        samples.push_back({t, {camera.x + jitter, camera.y - jitter}, true});
    }
    for (double slide : {15.0, 30.0, 45.0}) {
        samples.push_back({t, {camera.x - slide, camera.y}, true});
        t += kFrameMs;
    }
    samples.push_back({t, samples.back().camera, false});
    return samples;
}

// Feeds the samples; the last step that brought something about.
template <typename Session>
TargetRun::Step Feed(Session& session, const std::vector<PenSample>& samples)
{
    TargetRun::Step last;
    for (const PenSample& s : samples) {
        const TargetRun::Step step = session.OnSample(s);
        if (step.what != TargetRun::Happening::Nothing) last = step;
    }
    return last;
}

// A touch at `camera`, `now` moved on past it and the walk to the next target.
template <typename Session>
TargetRun::Step Touch(Session& session, const Point& camera, std::uint32_t& now)
{
    const std::vector<PenSample> samples = RestingTouch(camera, now);
    now = samples.back().timeMs + 1000;
    return Feed(session, samples);
}

} // namespace calibration_testing
