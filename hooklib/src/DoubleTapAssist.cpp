#include "DoubleTapAssist.h"

#include <cstdlib>

namespace hooklib {

DoubleTapAssist::DoubleTapAssist(std::uint32_t doubleClickMs, int reachPixels)
    : doubleClickMs_(doubleClickMs),
      reachPixels_(reachPixels)
{}

void DoubleTapAssist::SetEnabled(bool on)
{
    enabled_ = on;
    if (!on) pending_.reset();
}

bool DoubleTapAssist::WithinTime(const Press& first, std::uint32_t timeMs) const
{
    // Unsigned difference, so the 49-day wrap of the clock does no harm.
    return static_cast<std::uint32_t>(timeMs - first.timeMs) < doubleClickMs_;
}

bool DoubleTapAssist::WithinReach(const Press& first, PixelPoint at) const
{
    // Wide enough for the distance between any two ints.
    const std::int64_t dx = std::llabs(static_cast<std::int64_t>(at.x) - first.at.x);
    const std::int64_t dy = std::llabs(static_cast<std::int64_t>(at.y) - first.at.y);
    return dx <= reachPixels_ && dy <= reachPixels_;
}

std::optional<PixelPoint> DoubleTapAssist::OnLeftPress(PixelPoint at, std::uint32_t timeMs)
{
    if (!enabled_) return std::nullopt;

    if (pending_ && WithinTime(*pending_, timeMs) && WithinReach(*pending_, at)) {
        const PixelPoint first = pending_->at;
        pending_.reset(); // the pair is complete; a third press starts anew
        if (first == at) return std::nullopt;
        return first;
    }
    pending_ = Press{at, timeMs};
    return std::nullopt;
}

void DoubleTapAssist::Expire(std::uint32_t nowMs)
{
    if (pending_ && !WithinTime(*pending_, nowMs)) pending_.reset();
}

} // namespace hooklib
