#include "FilterTraces.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace filterbench {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMovingNoise = 2;

// A path at `speed` along the arc length of `shape` (a curve over 0..1,
// sampled finely), so that speed is the pen's real speed everywhere.
Path AtConstantSpeed(const std::function<Point(double)>& shape, double speed)
{
    constexpr int kSteps = 20000;
    auto lengths = std::make_shared<std::vector<double>>(kSteps + 1, 0.0);
    Point last = shape(0);
    for (int n = 1; n <= kSteps; ++n) {
        const Point p = shape(static_cast<double>(n) / kSteps);
        (*lengths)[n] = (*lengths)[n - 1] + std::hypot(p.x - last.x, p.y - last.y);
        last = p;
    }
    return [shape, speed, lengths](double seconds) {
        const double wanted = std::min(seconds * speed, lengths->back());
        const auto at = std::lower_bound(lengths->begin(), lengths->end(), wanted);
        const auto n = static_cast<double>(at - lengths->begin());
        return shape(n / kSteps);
    };
}

double LengthOf(const std::function<Point(double)>& shape)
{
    double length = 0;
    Point last = shape(0);
    for (int n = 1; n <= 20000; ++n) {
        const Point p = shape(n / 20000.0);
        length += std::hypot(p.x - last.x, p.y - last.y);
        last = p;
    }
    return length;
}

void WritePath(TraceWriter& writer, const std::function<Point(double)>& shape, double speed)
{
    writer.Stroke(AtConstantSpeed(shape, speed), LengthOf(shape) / speed);
}

} // namespace

TraceFrame& TraceWriter::Next(driver::SlotStatus status)
{
    TraceFrame& frame = trace_.frames.emplace_back();
    frame.atMs = frame_++ * kFrameMs;
    frame.status = status;
    return frame;
}

void TraceWriter::Stroke(const Path& path, double seconds, double pauseSeconds)
{
    filterbench::Stroke stroke;
    stroke.first = trace_.frames.size();
    stroke.downMs = frame_ * kFrameMs;
    stroke.path = path;
    const long frames = std::lround(seconds * 1000 / kFrameMs);
    for (long n = 0; n <= frames; ++n) {
        TraceFrame& frame = Next(driver::SlotStatus::Contact);
        frame.truth = path((frame.atMs - stroke.downMs) / 1000);
        frame.sample = {frame.truth.x + noise_(random_), frame.truth.y + noise_(random_)};
    }
    TraceFrame& release = Next(driver::SlotStatus::Release);
    release.truth = path((release.atMs - stroke.downMs) / 1000);
    stroke.release = trace_.frames.size() - 1;
    trace_.strokes.push_back(stroke);
    for (long n = std::lround(pauseSeconds * 1000 / kFrameMs); n > 0; --n) Next(driver::SlotStatus::Empty);
}

Trace StillPen(double sigma)
{
    TraceWriter writer(sigma, 11);
    for (const Point place : {Point{1600, 1200}, Point{700.4, 900.7}, Point{2500.6, 1800.2}}) {
        writer.Stroke([place](double) { return place; }, 10);
    }
    return writer.Take();
}

Trace Lines(double speed)
{
    TraceWriter writer(kMovingNoise, 21);
    const Point ends[][2] = {{{400, 1200}, {2800, 1200}},
                             {{1600, 300}, {1600, 2100}},
                             {{500, 400}, {2700, 2000}},
                             {{2700, 400}, {500, 2000}}};
    for (const auto& end : ends) {
        const Point a = end[0];
        const Point b = end[1];
        WritePath(
            writer,
            [a, b](double u) {
                return Point{a.x + u * (b.x - a.x), a.y + u * (b.y - a.y)};
            },
            speed);
    }
    return writer.Take();
}

Trace Circles(double speed)
{
    TraceWriter writer(kMovingNoise, 31);
    for (const double turn : {1.0, -1.0}) {
        WritePath(
            writer,
            [turn](double u) {
                const double a = turn * 2 * kPi * u;
                return Point{1600 + 500 * std::cos(a), 1200 + 500 * std::sin(a)};
            },
            speed);
    }
    return writer.Take();
}

// A row of loops like a cursive "llll": a point on a rolling wheel's spoke
// longer than its radius. One loop of these proportions is about 6.68 b long.
Trace Handwriting(double speed)
{
    TraceWriter writer(kMovingNoise, 41);
    const double b = speed * 0.4 / 6.68;
    const double a = b / 2;
    // As many loops as fit in 2,400 units of width, at most five.
    const int loops = std::clamp(static_cast<int>(2400 / (2 * kPi * a + 2 * b)), 1, 5);
    for (const double y : {900.0, 1500.0}) {
        const double startX = 1600 - a * kPi * loops;
        WritePath(
            writer,
            [=](double u) {
                const double t = u * 2 * kPi * loops;
                return Point{startX + a * t - b * std::sin(t), y - b * std::cos(t)};
            },
            speed);
    }
    return writer.Take();
}

Trace WithSpikes(const Trace& clean, double distance, unsigned seed)
{
    Trace spiked = clean;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> direction(0, 2 * kPi);
    std::uniform_int_distribution<int> gap(12, 18);
    for (const Stroke& stroke : spiked.strokes) {
        for (std::size_t n = stroke.first + 3 + gap(random); n + 1 < stroke.release; n += gap(random)) {
            const double angle = direction(random);
            TraceFrame& frame = spiked.frames[n];
            frame.sample.x += distance * std::cos(angle);
            frame.sample.y += distance * std::sin(angle);
            frame.spike = true;
        }
    }
    return spiked;
}

Trace Taps(double sigma, int count)
{
    TraceWriter writer(sigma, 51);
    std::mt19937 random(52);
    std::uniform_real_distribution<double> x(300, 2900);
    std::uniform_real_distribution<double> y(300, 2100);
    std::uniform_int_distribution<int> frames(4, 8);
    for (int n = 0; n < count; ++n) {
        const Point place{x(random), y(random)};
        writer.Stroke([place](double) { return place; }, (frames(random) - 1) * kFrameMs / 1000, 0.3);
    }
    return writer.Take();
}

Trace PressAndHolds(double sigma, int count)
{
    TraceWriter writer(sigma, 61);
    std::mt19937 random(62);
    std::uniform_real_distribution<double> x(300, 2900);
    std::uniform_real_distribution<double> y(300, 2100);
    for (int n = 0; n < count; ++n) {
        const Point place{x(random), y(random)};
        writer.Stroke([place](double) { return place; }, 2, 0.3);
    }
    return writer.Take();
}

} // namespace filterbench
