#pragma once
// Touch frames for the system's touch injection: every frame carries all the
// contacts the system is to consider down, each with its pointer id (the
// contact's slot), its pixel position, a small contact area and the state
// flags of the documented sequence:
//
//   first frame of a contact   down | in range | in contact
//   every later frame          update | in range | in contact
//   its last frame             up
//
// The flag values are the system's own (POINTER_FLAG_*), so the Win32 layer
// passes them through unchanged.
//
// The system cancels injected contacts that go more than 100 ms without a
// frame, so while any contact is down the builder makes a frame at least
// every kKeepAliveMs even when the records bring nothing new.
#include "driver/ContactTracker.h"
#include "driver/Desktop.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace driver {

enum TouchFlag : std::uint32_t {
    kTouchInRange = 0x00000002,
    kTouchInContact = 0x00000004,
    kTouchDown = 0x00010000,
    kTouchUpdate = 0x00020000,
    kTouchUp = 0x00040000,
};

inline constexpr std::uint32_t kTouchDownFlags = kTouchDown | kTouchInRange | kTouchInContact;
inline constexpr std::uint32_t kTouchUpdateFlags = kTouchUpdate | kTouchInRange | kTouchInContact;
inline constexpr std::uint32_t kTouchUpFlags = kTouchUp;

// Pixels, inclusive on all four sides.
struct TouchArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct TouchContact {
    std::uint32_t pointerId = 0;
    int x = 0; // desktop pixels on the board's monitor: origin x + 0..W-1
    int y = 0; // origin y + 0..H-1
    std::uint32_t flags = 0;
    TouchArea area;
};

struct TouchFrame {
    static constexpr std::size_t kMaxContacts = kPointSlots;
    std::array<TouchContact, kMaxContacts> contacts{};
    std::size_t count = 0;
};

class TouchFrameBuilder {
public:
    // The contact area reaches this many pixels to each side of the point.
    static constexpr int kAreaReach = 2;
    static constexpr std::uint32_t kKeepAliveMs = 50;

    // The frame for one snapshot, or an empty one (count 0) when none is due:
    // a frame is due when the snapshot is newsworthy, or when a contact is
    // down and kKeepAliveMs have passed since the last frame. `elapsedMs` is
    // the time since the previous call. Positions are limited to the board's
    // monitor (`screen`) and then moved to its `origin` on the desktop.
    //
    // A down contact comes up, where the system last saw it, in the first
    // frame whose snapshot no longer lists it as live (ended or not). Pointer
    // ids are never used twice while down: a contact the frame finds under
    // an id still down for another contact waits for a later frame.
    //
    // Only the contacts of `slots` (bit s: slot s) count as live: with the
    // socket open, the slots routed to it stay off the touch screen, and a
    // contact whose slot leaves the set comes up.
    const TouchFrame& Build(const ContactSnapshot& snapshot, ScreenSize screen, std::uint32_t elapsedMs,
                            ContactTracker::SlotMask slots = kAllSlots, ScreenPosition origin = {});

    static constexpr ContactTracker::SlotMask kAllSlots = (1u << kPointSlots) - 1;

    // The system has dropped every contact (an injection failed): contacts
    // still live start again with a down.
    void Forget();

    bool AnyDown() const;

private:
    struct Pointer {
        bool down = false;
        std::uint32_t session = 0;
        TouchContact last;
    };

    void Add(const TouchContact& contact);

    std::array<Pointer, kPointSlots> pointers_{};
    std::uint32_t quietMs_ = 0;
    TouchFrame frame_;
};

// The system's touch injection as the core sees it.
class TouchInjection {
public:
    virtual ~TouchInjection() = default;
    // Injects one frame; false when the system refused it.
    virtual bool Inject(const TouchFrame& frame) = 0;
};

} // namespace driver
