#include "driver/TouchPacket.h"

namespace driver {

TouchPacket BuildTouchPacket(PacketEvent event, int x, int y)
{
    const auto ux = static_cast<std::uint32_t>(x);
    const auto uy = static_cast<std::uint32_t>(y);
    TouchPacket packet = {0xEE,
                          0xEE,
                          static_cast<std::uint8_t>(event),
                          static_cast<std::uint8_t>(ux >> 8),
                          static_cast<std::uint8_t>(ux),
                          static_cast<std::uint8_t>(uy >> 8),
                          static_cast<std::uint8_t>(uy),
                          0};
    for (std::size_t i = 0; i + 1 < packet.size(); ++i) {
        packet[7] ^= packet[i];
    }
    return packet;
}

} // namespace driver
