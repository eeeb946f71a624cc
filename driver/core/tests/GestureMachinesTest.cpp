// Named sequences of records through the three routings and both pointers:
// what reaches the mouse and what goes out as packets.
#include "DriverFakes.h"
#include "TestInput.h"

#include "driver/GestureMachines.h"
#include "driver/TouchPacket.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace driver {
namespace {

using testing::Ax;
using testing::Ay;
using testing::Bytes;
using ::testing::ElementsAre;
using testing::FakeBoardKeys;
using testing::FakeCalibration;
using testing::FakeDesktop;
using ::testing::IsEmpty;
using testing::kContactPacket;
using testing::kDoubleTapPacket;
using testing::kLeftUp;
using testing::kMove;
using testing::kMoveLeftDown;
using testing::kReleasePacket;
using testing::MouseEvent;
using testing::RecordBuilder;
using testing::RecordingChannel;

class GestureTest : public ::testing::Test {
protected:
    GestureTest() { socketSlot.Publish(channel); }

    void Feed(const RecordBuilder& record) { machines.Process(record.Decoded(), calibration); }
    void Contact(int slot, unsigned x, unsigned y) { Feed(RecordBuilder().Contact(slot, x, y)); }
    void Release(int slot) { Feed(RecordBuilder().Release(slot)); }
    // Routing by position sees a release's point too.
    void ReleaseAt(int slot, unsigned x, unsigned y) { Feed(RecordBuilder().Slot(slot, 2, x, y)); }
    void UseSocket(int variant)
    {
        state.socketRouting = variant == 1 ? SocketRouting::HalfSplit : SocketRouting::PairSplit;
    }
    std::vector<std::uint8_t> Events() const
    {
        std::vector<std::uint8_t> events;
        for (const auto& packet : channel->writes) events.push_back(packet[2]);
        return events;
    }
    std::vector<std::uint32_t> Flags() const
    {
        std::vector<std::uint32_t> flags;
        for (const MouseEvent& e : desktop.mouseEvents) flags.push_back(e.flags);
        return flags;
    }

    FakeDesktop desktop;
    DriverState state;
    FakeBoardKeys keys;
    FakeCalibration calibration;
    std::shared_ptr<RecordingChannel> channel = std::make_shared<RecordingChannel>();
    ChannelSlot socketSlot;
    GestureMachines machines{desktop, state, keys, socketSlot};
};

// --- mouse pointer -------------------------------------------------------

TEST_F(GestureTest, SingleSampleContactGivesOnlyARelease)
{
    Contact(0, 100, 100);
    Release(0);
    EXPECT_THAT(Flags(), ElementsAre(kLeftUp));
}

TEST_F(GestureTest, PressComesOnTheSecondSampleAtItsPoint)
{
    Contact(0, 100, 100);
    EXPECT_THAT(desktop.mouseEvents, IsEmpty());
    Contact(0, 110, 120);
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(MouseEvent{kMoveLeftDown, Ax(110), Ay(120)}));
}

TEST_F(GestureTest, MovesAreSmoothedWithThePreviousPoint)
{
    Contact(0, 0, 0);
    Contact(0, 0, 0); // press at (0, 0)
    Contact(0, 100, 100);
    Contact(0, 100, 100); // 0.6 * 100 + 0.4 * 60 = 84
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(MouseEvent{kMoveLeftDown, 0, 0}, MouseEvent{kMove, Ax(60), Ay(60)},
                                                 MouseEvent{kMove, Ax(84), Ay(84)}));
}

TEST_F(GestureTest, ReleaseGoesOutAtTheLastSmoothedPointAndReArms)
{
    state.actionArmed = 0;
    Contact(0, 0, 0);
    Contact(0, 0, 0);
    Contact(0, 100, 50);
    Release(0);
    EXPECT_EQ(desktop.mouseEvents.back(), (MouseEvent{kLeftUp, Ax(60), Ay(30)}));
    EXPECT_EQ(state.actionArmed, 1);
    // Up again: the next contact's first sample is dropped.
    const std::size_t events = desktop.mouseEvents.size();
    Contact(0, 10, 10);
    EXPECT_EQ(desktop.mouseEvents.size(), events);
}

TEST_F(GestureTest, TwoContactsOnTheMouseShareOnePointer)
{
    Feed(RecordBuilder().Contact(0, 100, 100).Contact(1, 200, 100));
    // Slot 0 armed the pointer, slot 1 pressed it.
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(MouseEvent{kMoveLeftDown, Ax(200), Ay(100)}));
    Feed(RecordBuilder().Contact(0, 100, 100).Contact(1, 200, 100));
    // 0.6*100+0.4*200 = 140, then 0.6*200+0.4*140 = 176
    EXPECT_THAT(desktop.mouseEvents,
                ElementsAre(MouseEvent{kMoveLeftDown, Ax(200), Ay(100)}, MouseEvent{kMove, Ax(140), Ay(100)},
                            MouseEvent{kMove, Ax(176), Ay(100)}));
}

TEST_F(GestureTest, SecondPairDrivesTheMouseOnlyWithoutAFirstPairContact)
{
    Feed(RecordBuilder().Contact(0, 100, 100).Contact(2, 900, 700));
    Feed(RecordBuilder().Contact(0, 100, 100).Contact(2, 900, 700));
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(MouseEvent{kMoveLeftDown, Ax(100), Ay(100)}));
    Release(0);
    desktop.mouseEvents.clear();
    Feed(RecordBuilder().Release(0).Contact(2, 900, 700));
    Feed(RecordBuilder().Contact(3, 900, 700));
    EXPECT_THAT(Flags(), ElementsAre(kLeftUp, kMoveLeftDown));
}

TEST_F(GestureTest, BoardKeyHitTakesThePressButNotTheStroke)
{
    state.boardKeysEnabled = 1;
    calibration.scale = 0.5;
    keys.hits = [](const Point&) { return true; };
    Contact(0, 400, 200);
    Contact(0, 400, 200);
    EXPECT_THAT(desktop.mouseEvents, IsEmpty());
    ASSERT_EQ(keys.asked.size(), 1u);
    EXPECT_DOUBLE_EQ(keys.asked[0].x, 200); // asked in screen pixels
    Contact(0, 400, 200);
    Release(0);
    EXPECT_THAT(Flags(), ElementsAre(kMove, kLeftUp));
}

// --- socket pointer and packets ------------------------------------------

TEST_F(GestureTest, PairSplitSendsTheSecondPairAsPackets)
{
    UseSocket(0);
    Feed(RecordBuilder().Contact(0, 100, 100).Contact(2, 800, 600));
    Feed(RecordBuilder().Contact(0, 100, 100).Contact(2, 800, 600));
    Feed(RecordBuilder().Contact(2, 900, 600));
    Feed(RecordBuilder().Release(2));
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(MouseEvent{kMoveLeftDown, Ax(100), Ay(100)}));
    ASSERT_EQ(channel->writes.size(), 3u);
    EXPECT_EQ(channel->writes[0], Bytes({0xEE, 0xEE, 0x81, 0x03, 0x20, 0x02, 0x58, 0xF8}));
    EXPECT_EQ(Events(), Bytes({kContactPacket, kContactPacket, kReleasePacket}));
    // 0.6 * 900 + 0.4 * 800 = 860
    EXPECT_EQ(channel->writes[1][3] * 256 + channel->writes[1][4], 860);
    EXPECT_EQ(channel->writes[2][3] * 256 + channel->writes[2][4], 860);
}

TEST_F(GestureTest, PairSplitClampsPointsOffTheCalibratedArea)
{
    UseSocket(0);
    calibration.scale = 2; // camera 700 -> 1400, off a 1024 x 768 screen
    Contact(2, 700, 500);
    Contact(2, 700, 500);
    ASSERT_EQ(channel->writes.size(), 1u);
    EXPECT_EQ(channel->writes[0], Bytes({0xEE, 0xEE, 0x81, 0x04, 0x00, 0x03, 0x00, 0x86})); // (1024, 768)
}

TEST_F(GestureTest, HalfSplitRoutesByTheMappedXAgainstHalfTheWidth)
{
    UseSocket(1);
    calibration.scale = 0.5; // camera 1024 -> 512, camera 1025 -> 512.5
    Feed(RecordBuilder().Contact(0, 1024, 100).Contact(1, 1025, 100));
    Feed(RecordBuilder().Contact(0, 1024, 100).Contact(1, 1025, 100));
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(MouseEvent{kMoveLeftDown, Ax(512), Ay(50)}));
    ASSERT_EQ(channel->writes.size(), 1u);
    EXPECT_EQ(channel->writes[0][3] * 256 + channel->writes[0][4], 512);
}

TEST_F(GestureTest, HalfSplitEmptySocketSlotsStillCountAsActivity)
{
    UseSocket(1);
    calibration.boardEndX = 0; // nothing maps: empty slots compare at camera x 0
    state.idleCount = 400;
    Feed(RecordBuilder());
    EXPECT_EQ(state.idleCount, 400);
    calibration.boardEndX = 3200;
    calibration.scale = 1;
    Feed(RecordBuilder().Slot(3, 0, 600, 0));
    EXPECT_EQ(state.idleCount, 0);
}

class DoubleTapTest : public GestureTest {
protected:
    DoubleTapTest() { UseSocket(1); }

    // Contact point at camera x (right half: x > 512), release after
    // `heldMs`; the release point is the last (smoothed) contact point.
    void Tap(unsigned x, unsigned y, std::uint32_t heldMs = 50)
    {
        Contact(0, x, y);
        Contact(0, x, y);
        desktop.now += heldMs;
        ReleaseAt(0, x, y);
    }
    std::vector<std::uint8_t> Releases() const
    {
        std::vector<std::uint8_t> events;
        for (std::uint8_t e : Events()) {
            if (e != kContactPacket) events.push_back(e);
        }
        return events;
    }
};

TEST_F(DoubleTapTest, SecondReleaseUnder650MsAnd15PixelsIsADoubleTap)
{
    Tap(700, 300);
    desktop.now += 649 - 50; // second release 649 ms after the first
    Tap(700, 300, 50);
    EXPECT_EQ(Releases(), Bytes({kReleasePacket, kDoubleTapPacket}));
    EXPECT_EQ(state.socketKeyArmed, 1);
}

TEST_F(DoubleTapTest, At650MsBothReleasesArePlain)
{
    Tap(700, 300);
    desktop.now += 650 - 50;
    Tap(700, 300, 50);
    EXPECT_EQ(Releases(), Bytes({kReleasePacket, kReleasePacket}));
}

TEST_F(DoubleTapTest, DistanceFromFirstContactToSecondReleaseDecides)
{
    Tap(700, 300);
    Tap(714, 300); // released 14 px from the first contact
    Tap(700, 300);
    Tap(700, 315); // 15 px
    EXPECT_EQ(Releases(), Bytes({kReleasePacket, kDoubleTapPacket, kReleasePacket, kReleasePacket}));
}

TEST_F(DoubleTapTest, OriginIsTheFirstTapsContactPointNotItsRelease)
{
    Contact(0, 700, 300);
    Contact(0, 700, 300);
    Contact(0, 800, 300); // released at 760
    ReleaseAt(0, 800, 300);
    Tap(705, 300);
    EXPECT_EQ(Releases(), Bytes({kReleasePacket, kDoubleTapPacket}));
}

TEST_F(DoubleTapTest, ReleasesPairUpWhetherOrNotAPairQualified)
{
    Tap(700, 300);
    Tap(900, 300); // too far: the pair is spent
    Tap(900, 300); // starts a new pair
    Tap(900, 300);
    EXPECT_EQ(Releases(), Bytes({kReleasePacket, kReleasePacket, kReleasePacket, kDoubleTapPacket}));
}

TEST_F(DoubleTapTest, BoardKeyHitSuppressesOnlyTheFirstPacket)
{
    state.boardKeysEnabled = 1;
    keys.hits = [](const Point&) { return true; };
    Contact(0, 700, 300);
    Contact(0, 700, 300);
    Contact(0, 710, 300);
    ReleaseAt(0, 710, 300);
    EXPECT_EQ(Events(), Bytes({kContactPacket, kReleasePacket}));
}

} // namespace
} // namespace driver
