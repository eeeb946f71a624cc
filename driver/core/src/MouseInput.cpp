#include "driver/MouseInput.h"

#include <cstdint>
#include <limits>

namespace driver {

int ToAbsolute(int pixel, int extent)
{
    // The product is formed in 64 bits and saturated to the 32-bit range the
    // scaling is defined in, so a far-off pixel cannot overflow.
    const std::int64_t product = static_cast<std::int64_t>(pixel) * 65535;
    const std::int64_t clamped =
        product > std::numeric_limits<std::int32_t>::max()   ? std::numeric_limits<std::int32_t>::max()
        : product < std::numeric_limits<std::int32_t>::min() ? std::numeric_limits<std::int32_t>::min()
                                                             : product;
    return static_cast<int>(clamped / extent);
}

void MouseInput::Inject(std::uint32_t flags, int x, int y) const
{
    desktop_.InjectMouseEvent(flags, ToAbsolute(x, screen_.width), ToAbsolute(y, screen_.height));
}

void MouseInput::MouseLeftUp(int x, int y) const
{
    if (!HasScreen()) return;
    Inject(mouse_flags::kAbsolute | mouse_flags::kLeftUp, x, y);
}

void MouseInput::MouseLeftDownAt(int x, int y) const
{
    if (!HasScreen()) return;
    Inject(mouse_flags::kAbsolute | mouse_flags::kMove | mouse_flags::kLeftDown, x, y);
}

void MouseInput::MouseMoveTo(int x, int y) const
{
    if (!HasScreen()) return;
    Inject(mouse_flags::kAbsolute | mouse_flags::kMove, x, y);
}

void MouseInput::MouseDoubleClick(int x, int y) const
{
    if (!HasScreen()) return;
    for (int click = 0; click < 2; ++click) {
        Inject(mouse_flags::kAbsolute | mouse_flags::kLeftDown, x, y);
        Inject(mouse_flags::kAbsolute | mouse_flags::kLeftUp, x, y);
    }
}

void MouseInput::MouseRightClickAt(int x, int y) const
{
    if (!HasScreen()) return;
    desktop_.SetCursorPosition(x, y);
    Inject(mouse_flags::kAbsolute | mouse_flags::kMove | mouse_flags::kRightDown | mouse_flags::kRightUp, x, y);
}

} // namespace driver
