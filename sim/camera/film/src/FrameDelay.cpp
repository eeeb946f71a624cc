#include "fakecamera/FrameDelay.h"

#include <algorithm>

namespace fakecamera {

FrameDelay::FrameDelay(int delayFrames, std::size_t frameBytes)
    : ring_(static_cast<std::size_t>(std::max(delayFrames, 0)) + 1, std::vector<std::uint8_t>(frameBytes))
{}

const std::uint8_t* FrameDelay::Pass(const std::uint8_t* newest)
{
    const std::size_t slots = ring_.size();
    std::vector<std::uint8_t>& slot = ring_[passed_ % slots];
    std::copy(newest, newest + slot.size(), slot.begin());
    const std::size_t due = passed_ >= slots - 1 ? passed_ - (slots - 1) : 0;
    ++passed_;
    return ring_[due % slots].data();
}

} // namespace fakecamera
