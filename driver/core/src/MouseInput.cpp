#include "driver/MouseInput.h"

namespace driver {

void MouseInput::Inject(std::uint32_t flags, int x, int y) const
{
    const AbsolutePosition at =
        reach_ == Reach::Board ? screen_.BoardAbsolute({x, y}) : screen_.DesktopAbsolute({x, y});
    desktop_.InjectMouseEvent(flags | at.extraFlags, at.ax, at.ay);
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
