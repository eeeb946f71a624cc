#pragma once
// The five mouse-event wrappers. They take screen pixels, scale them to the
// absolute range with the screen size they were made with (so that each
// lands on the pixel meant, see common/AbsoluteCoordinate.h), and inject
// through the desktop. They keep no state, so the touch worker and the
// window thread's timers may use them side by side.
#include "driver/BoardScreen.h"
#include "driver/Desktop.h"

#include <cstdint>

namespace driver {

namespace mouse_flags {
inline constexpr std::uint32_t kMove = 0x0001;
inline constexpr std::uint32_t kLeftDown = 0x0002;
inline constexpr std::uint32_t kLeftUp = 0x0004;
inline constexpr std::uint32_t kRightDown = 0x0008;
inline constexpr std::uint32_t kRightUp = 0x0010;
inline constexpr std::uint32_t kAbsolute = 0x8000;
} // namespace mouse_flags

class MouseInput {
public:
    // Where the pixels handed to the wrappers lie: on the board (its own
    // events, held on its monitor), or anywhere on the desktop (the cursor,
    // where the pen buttons click).
    enum class Reach { Board, Desktop };

    // Pixels are desktop pixels, converted by `screen` (see BoardScreen),
    // which must outlive the wrappers.
    MouseInput(Desktop& desktop, const BoardScreen& screen, Reach reach)
        : desktop_(desktop),
          screen_(screen),
          reach_(reach)
    {}
    MouseInput(const MouseInput&) = delete;
    MouseInput& operator=(const MouseInput&) = delete;

    void MouseLeftUp(int x, int y) const;
    void MouseLeftDownAt(int x, int y) const;
    void MouseMoveTo(int x, int y) const;
    void MouseDoubleClick(int x, int y) const;
    void MouseRightClickAt(int x, int y) const;

private:
    // With no screen metrics there is nothing sensible to scale to, so
    // nothing is injected.
    bool HasScreen() const { return screen_.HasScreen(); }
    void Inject(std::uint32_t flags, int x, int y) const;

    Desktop& desktop_;
    const BoardScreen& screen_;
    Reach reach_;
};

} // namespace driver
