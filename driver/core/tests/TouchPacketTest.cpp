// The touch socket's 8-byte packet, byte for byte.
#include "driver/TouchPacket.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace driver {
namespace {

using ::testing::ElementsAre;

TEST(TouchPacketTest, BytesAreBigEndianWithXorCheck)
{
    const TouchPacket contact = BuildTouchPacket(PacketEvent::Contact, 1280, 720);
    EXPECT_THAT(contact, ElementsAre(0xEE, 0xEE, 0x81, 0x05, 0x00, 0x02, 0xD0, 0x56));
    const TouchPacket release = BuildTouchPacket(PacketEvent::Release, 1000, 700);
    EXPECT_THAT(release, ElementsAre(0xEE, 0xEE, 0x83, 0x03, 0xE8, 0x02, 0xBC, 0xD6));
}

TEST(TouchPacketTest, OnlyTheLowSixteenBitsOfACoordinateGo)
{
    const TouchPacket packet = BuildTouchPacket(PacketEvent::DoubleTapRelease, 0x12345, -1);
    EXPECT_THAT(packet,
                ElementsAre(0xEE, 0xEE, 0x88, 0x23, 0x45, 0xFF, 0xFF, 0xEE ^ 0xEE ^ 0x88 ^ 0x23 ^ 0x45 ^ 0xFF ^ 0xFF));
}

} // namespace
} // namespace driver
