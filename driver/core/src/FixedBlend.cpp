#include "driver/FixedBlend.h"

namespace driver {

void FixedBlend::Start(const Point& first, std::uint32_t, PointUnit)
{
    shown_ = first;
}

bool FixedBlend::Next(const Point& sample, std::uint32_t, Point& shown)
{
    shown_ = {kNewWeight * sample.x + kLastWeight * shown_.x, kNewWeight * sample.y + kLastWeight * shown_.y};
    shown = shown_;
    return true;
}

} // namespace driver
