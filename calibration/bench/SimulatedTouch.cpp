#include "SimulatedTouch.h"

#include <algorithm>
#include <cmath>

namespace calibration_bench {
namespace {

constexpr std::uint32_t kFrameMs = 16;
constexpr int kLandingFrames = 3;
constexpr int kLiftingFrames = 3;
constexpr double kLandingSlide = 30; // camera units, the first frame's distance
constexpr double kLiftingSlide = 12; // per frame

double Whole(double units)
{
    return std::clamp(std::round(units), 0.0, 65535.0);
}

} // namespace

std::vector<calibration::PenSample> RestingTouch(const driver::Point& camera, std::uint32_t startMs,
                                                 const TouchNoise& noise, std::mt19937& random)
{
    std::uniform_int_distribution<int> restFrames(30, 55); // 0.5 .. 0.9 s
    std::uniform_real_distribution<double> angle(0, 2 * M_PI);
    std::normal_distribution<double> jitter(0, noise.jitter > 0 ? noise.jitter : 1);
    const double jitterScale = noise.jitter > 0 ? 1 : 0;
    const double driftAngle = angle(random), landAngle = angle(random), liftAngle = angle(random);

    std::vector<calibration::PenSample> samples;
    std::uint32_t t = startMs;
    auto add = [&](double x, double y) {
        samples.push_back({t, {Whole(x), Whole(y)}, true});
        t += kFrameMs;
    };
    for (int f = 0; f < kLandingFrames; ++f) {
        const double slide = kLandingSlide * (kLandingFrames - f) / kLandingFrames;
        add(camera.x + slide * std::cos(landAngle), camera.y + slide * std::sin(landAngle));
    }
    const int rest = restFrames(random);
    for (int f = 0; f < rest; ++f) {
        const double along = noise.drift * (static_cast<double>(f) / rest - 0.5);
        add(camera.x + along * std::cos(driftAngle) + jitterScale * jitter(random),
            camera.y + along * std::sin(driftAngle) + jitterScale * jitter(random));
    }
    const double endX = camera.x + noise.drift / 2 * std::cos(driftAngle);
    const double endY = camera.y + noise.drift / 2 * std::sin(driftAngle);
    for (int f = 1; f <= kLiftingFrames; ++f)
        add(endX + kLiftingSlide * f * std::cos(liftAngle), endY + kLiftingSlide * f * std::sin(liftAngle));
    samples.push_back({t, samples.back().camera, false});
    return samples;
}

} // namespace calibration_bench
