#pragma once
// What the tests expect to see injected, spelled once: the mouse events as
// the five wrappers inject them on the fakes' 1024 x 768 screen, and the
// socket's packet events by name.
#include "driver/TouchPacket.h"

#include <cstdint>

namespace driver::testing {

// Flags as injected (absolute coordinates always).
inline constexpr std::uint32_t kMove = 0x8001;
inline constexpr std::uint32_t kLeftDown = 0x8002;     // the double-click's presses
inline constexpr std::uint32_t kMoveLeftDown = 0x8003; // a press at a point
inline constexpr std::uint32_t kLeftUp = 0x8004;
inline constexpr std::uint32_t kRightClick = 0x8019; // move, right down, right up

// A pixel of the fakes' screen (within it) as an absolute coordinate,
// independent of the code under test: the smallest coordinate the system
// places on that pixel.
inline int Ax(int x)
{
    return (x * 65536 + 1023) / 1024;
}
inline int Ay(int y)
{
    return (y * 65536 + 767) / 768;
}

inline constexpr std::uint8_t kContactPacket = static_cast<std::uint8_t>(PacketEvent::Contact);
inline constexpr std::uint8_t kReleasePacket = static_cast<std::uint8_t>(PacketEvent::Release);
inline constexpr std::uint8_t kDoubleTapPacket = static_cast<std::uint8_t>(PacketEvent::DoubleTapRelease);

} // namespace driver::testing
