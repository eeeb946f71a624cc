#pragma once
// The 8-byte packet of the socket pointer: EE EE, event, x and y (screen
// pixels, low 16 bits, big-endian), XOR of the seven bytes before.
#include <array>
#include <cstdint>

namespace driver {

enum class PacketEvent : std::uint8_t {
    Contact = 0x81,
    Release = 0x83,
    DoubleTapRelease = 0x88,
};

using TouchPacket = std::array<std::uint8_t, 8>;

TouchPacket BuildTouchPacket(PacketEvent event, int x, int y);

} // namespace driver
