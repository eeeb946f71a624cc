#include "driver/PointFilter.h"

namespace driver {

void PointFilter::Start(const Point& first, std::uint32_t now, PointUnit unit)
{
    unit_ = unit;
    const Point camera = ToCamera(first);
    clock_.Start(now);
    gate_.Reset(camera);
    smoothing_.Reset(camera);
    framesWaiting_ = 0;
}

bool PointFilter::Next(const Point& sample, std::uint32_t now, Point& shown)
{
    const double frame = clock_.Advance(now);
    ++framesWaiting_;
    const SpikeGate::Passed passed = gate_.Push(ToCamera(sample));
    if (passed.count == 0) return false;
    if (passed.count == 2) {
        // A confirmed sample that was held belongs to the frame before this one.
        smoothing_.Push(passed.points[0], (framesWaiting_ - 1) * frame);
        framesWaiting_ = 1;
    }
    shown = FromCamera(smoothing_.Push(passed.points[passed.count - 1], framesWaiting_ * frame));
    framesWaiting_ = 0;
    return true;
}

Point PointFilter::ToCamera(const Point& point) const
{
    return {point.x * unit_.cameraX, point.y * unit_.cameraY};
}

Point PointFilter::FromCamera(const Point& point) const
{
    return {point.x / unit_.cameraX, point.y / unit_.cameraY};
}

} // namespace driver
