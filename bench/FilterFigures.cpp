#include "FilterFigures.h"

#include "TestInput.h"
#include "driver/MouseInput.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace filterbench {
namespace {

using driver::testing::MouseEvent;

constexpr int kDragHalfWidth = 2; // the system's 4 x 4 drag rectangle

double Distance(const Point& a, const Point& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

Point OnScreen(const Point& units)
{
    return {units.x * kPixelsPerUnit, units.y * kPixelsPerUnit};
}

double DistanceToSegment(const Point& p, const Point& a, const Point& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0;
    return Distance(p, {a.x + t * dx, a.y + t * dy});
}

// The point of the stroke's path near `seconds` (120 ms back, 60 ms ahead
// for noise; a wider window would find where a loop crosses itself) that
// is nearest to `pointer`: a coarse search, then a fine one around its best.
struct Nearest {
    double seconds = 0;
    double pixels = 0;
};
Nearest NearestOnPath(const Stroke& stroke, const Point& pointer, double seconds)
{
    Nearest best{seconds, std::numeric_limits<double>::infinity()};
    const auto search = [&](double from, double to, double step) {
        for (double s = std::max(from, 0.0); s <= to; s += step) {
            const double d = Distance(OnScreen(stroke.path(s)), pointer);
            if (d < best.pixels) best = {s, d};
        }
    };
    search(seconds - 0.12, seconds + 0.06, 0.0005);
    search(best.seconds - 0.0005, best.seconds + 0.0005, 0.00002);
    return best;
}

int Pixel(int absolute, int extent)
{
    return static_cast<int>(std::lround(absolute * static_cast<double>(extent) / 65535));
}

} // namespace

double StillJitterPixels(const Trace& trace, const Replay& replay)
{
    double sum = 0;
    long count = 0;
    for (const Stroke& stroke : trace.strokes) {
        for (std::size_t n = stroke.first; n < stroke.release; ++n) {
            const TraceFrame& frame = trace.frames[n];
            if (frame.atMs - stroke.downMs < 1000 || !replay.frames[n].down) continue;
            sum += std::pow(Distance(replay.frames[n].pointer, OnScreen(frame.truth)), 2);
            ++count;
        }
    }
    return count ? std::sqrt(sum / count) : 0;
}

Following FollowPath(const Trace& trace, const Replay& replay)
{
    double lag = 0;
    double offPath = 0;
    long count = 0;
    for (const Stroke& stroke : trace.strokes) {
        for (std::size_t n = stroke.first + 2; n < stroke.release; ++n) {
            if (!replay.frames[n].down) continue;
            const double seconds = (trace.frames[n].atMs - stroke.downMs) / 1000;
            const Nearest nearest = NearestOnPath(stroke, replay.frames[n].pointer, seconds);
            lag += (seconds - nearest.seconds) * 1000;
            offPath += nearest.pixels * nearest.pixels;
            ++count;
        }
    }
    if (count == 0) return {};
    return {lag / count, std::sqrt(offPath / count), count};
}

double LargestSpikeDisplacementPixels(const Trace& spiked, const Replay& withSpikes, const Replay& clean)
{
    double largest = 0;
    for (const Stroke& stroke : spiked.strokes) {
        for (std::size_t s = stroke.first; s < stroke.release; ++s) {
            if (!spiked.frames[s].spike) continue;
            const std::size_t pathFrom = std::max(stroke.first + 1, s - 3);
            const std::size_t pathTo = std::min(stroke.release - 1, s + 12);
            for (std::size_t n = s; n <= std::min(s + 8, stroke.release - 1); ++n) {
                double nearest = std::numeric_limits<double>::infinity();
                for (std::size_t m = pathFrom; m < pathTo; ++m) {
                    nearest = std::min(nearest, DistanceToSegment(withSpikes.frames[n].pointer, clean.frames[m].pointer,
                                                                  clean.frames[m + 1].pointer));
                }
                largest = std::max(largest, nearest);
            }
        }
    }
    return largest;
}

double RightClickShare(const Trace& trace, const Replay& replay)
{
    int clicked = 0;
    for (const Stroke& stroke : trace.strokes) {
        const auto first = replay.events.begin() + static_cast<long>(replay.frames[stroke.first].firstEvent);
        const auto end = replay.events.begin() + static_cast<long>(replay.frames[stroke.release].endEvent);
        clicked += std::any_of(first, end, [](const MouseEvent& e) { return e.flags == driver::testing::kRightClick; });
    }
    return trace.strokes.empty() ? 0 : static_cast<double>(clicked) / trace.strokes.size();
}

double ClickShare(const Trace& trace, const Replay& replay)
{
    int clicked = 0;
    for (const Stroke& stroke : trace.strokes) {
        const MouseEvent* press = nullptr;
        bool inside = true;
        bool released = false;
        for (std::size_t n = replay.frames[stroke.first].firstEvent; n < replay.frames[stroke.release].endEvent; ++n) {
            const MouseEvent& e = replay.events[n];
            if (e.flags == driver::testing::kMoveLeftDown && !press) {
                press = &e;
            } else if (press && (e.flags & driver::mouse_flags::kMove)) {
                inside = inside && std::abs(Pixel(e.ax - press->ax, kScreenWidth)) <= kDragHalfWidth &&
                         std::abs(Pixel(e.ay - press->ay, kScreenHeight)) <= kDragHalfWidth;
            } else if (press && e.flags == driver::testing::kLeftUp) {
                released = true;
            }
        }
        clicked += press && released && inside;
    }
    return trace.strokes.empty() ? 0 : static_cast<double>(clicked) / trace.strokes.size();
}

} // namespace filterbench
