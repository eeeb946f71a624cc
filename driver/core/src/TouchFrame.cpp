#include "driver/TouchFrame.h"

#include "driver/Truncate.h"

#include <algorithm>

namespace driver {
namespace {

int ToPixel(double value, int extent)
{
    const int pixel = TruncateToInt(value);
    return std::clamp(pixel, 0, std::max(extent - 1, 0));
}

// Within the board's monitor, then moved to its place on the desktop.
TouchContact At(std::uint32_t pointerId, const Point& point, ScreenSize screen, ScreenPosition origin,
                std::uint32_t flags)
{
    TouchContact contact;
    contact.pointerId = pointerId;
    const int x = ToPixel(point.x, screen.width);
    const int y = ToPixel(point.y, screen.height);
    contact.flags = flags;
    const int lastX = std::max(screen.width - 1, 0);
    const int lastY = std::max(screen.height - 1, 0);
    const int reach = TouchFrameBuilder::kAreaReach;
    contact.x = x + origin.x;
    contact.y = y + origin.y;
    contact.area = {std::max(x - reach, 0) + origin.x, std::max(y - reach, 0) + origin.y,
                    std::min(x + reach, lastX) + origin.x, std::min(y + reach, lastY) + origin.y};
    return contact;
}

const TrackedContact* LiveIn(const ContactSnapshot& snapshot, int slot)
{
    for (std::size_t n = 0; n < snapshot.liveCount; ++n) {
        if (snapshot.live[n].slot == slot) return &snapshot.live[n];
    }
    return nullptr;
}

} // namespace

const TouchFrame& TouchFrameBuilder::Build(const ContactSnapshot& snapshot, ScreenSize screen, std::uint32_t elapsedMs,
                                           ContactTracker::SlotMask slots, ScreenPosition origin)
{
    frame_.count = 0;
    quietMs_ = quietMs_ > UINT32_MAX - elapsedMs ? UINT32_MAX : quietMs_ + elapsedMs;
    const bool due = snapshot.Newsworthy() || (AnyDown() && quietMs_ >= kKeepAliveMs);
    if (!due) return frame_;
    quietMs_ = 0;

    for (int id = 0; id < kPointSlots; ++id) {
        Pointer& pointer = pointers_[static_cast<std::size_t>(id)];
        const TrackedContact* live = (slots & (1u << id)) ? LiveIn(snapshot, id) : nullptr;
        const std::uint32_t pointerId = static_cast<std::uint32_t>(id);
        if (pointer.down) {
            if (live && live->session == pointer.session) {
                pointer.last = At(pointerId, live->screen, screen, origin, kTouchUpdateFlags);
                Add(pointer.last);
                continue;
            }
            // Ended, or gone from the snapshot without an end, or replaced by
            // another contact (which waits for the next frame): up it goes,
            // where the system last saw it.
            TouchContact up = pointer.last;
            up.flags = kTouchUpFlags;
            Add(up);
            pointer.down = false;
        } else if (live) {
            pointer.down = true;
            pointer.session = live->session;
            pointer.last = At(pointerId, live->screen, screen, origin, kTouchDownFlags);
            Add(pointer.last);
        }
    }
    return frame_;
}

void TouchFrameBuilder::Forget()
{
    for (Pointer& pointer : pointers_) pointer.down = false;
}

bool TouchFrameBuilder::AnyDown() const
{
    return std::any_of(pointers_.begin(), pointers_.end(), [](const Pointer& p) { return p.down; });
}

void TouchFrameBuilder::Add(const TouchContact& contact)
{
    frame_.contacts[frame_.count++] = contact;
}

} // namespace driver
