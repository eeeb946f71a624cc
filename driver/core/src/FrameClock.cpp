#include "driver/FrameClock.h"

#include <algorithm>

namespace driver {

double FrameClock::Advance(std::uint32_t now)
{
    // Unsigned difference: the tick count wraps after 49.7 days.
    const double gap = static_cast<double>(now - last_);
    last_ = now;
    if (gap <= kLongestMs) periodMs_ += (std::max(gap, kShortestMs) - periodMs_) * kWeight;
    return periodMs_ / 1000;
}

} // namespace driver
