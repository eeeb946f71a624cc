#include "driver/PointFilter.h"

namespace driver {

void PointFilter::Reset(const Point& first, std::uint32_t now)
{
    clock_.Start(now);
    gate_.Reset(first);
    smoothing_.Reset(first);
    framesWaiting_ = 0;
}

bool PointFilter::Push(const Point& sample, std::uint32_t now, Point& shown)
{
    const double frame = clock_.Advance(now);
    ++framesWaiting_;
    const SpikeGate::Passed passed = gate_.Push(sample);
    if (passed.count == 0) return false;
    if (passed.count == 2) {
        // A confirmed sample that was held belongs to the frame before this one.
        smoothing_.Push(passed.points[0], (framesWaiting_ - 1) * frame);
        framesWaiting_ = 1;
    }
    shown = smoothing_.Push(passed.points[passed.count - 1], framesWaiting_ * frame);
    framesWaiting_ = 0;
    return true;
}

} // namespace driver
