// Touch frames from the tracker's snapshots: the documented flag sequences,
// every active contact in every frame, ids never reused while down, frames
// kept coming while contacts are held, and every down contact brought up.
// (Random streams of the same are the multitouch fuzzer's.)
#include "DriverFakes.h"

#include "driver/ContactTracker.h"
#include "driver/TouchFrame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace driver {
namespace {

using testing::FakeCalibration;
using testing::RecordBuilder;

// One frame as "<id>:<D|U|X>" per contact (down, update, up).
std::string Describe(const TouchFrame& frame)
{
    std::string text;
    for (std::size_t n = 0; n < frame.count; ++n) {
        const TouchContact& c = frame.contacts[n];
        char kind = '?';
        if (c.flags == kTouchDownFlags) kind = 'D';
        if (c.flags == kTouchUpdateFlags) kind = 'U';
        if (c.flags == kTouchUpFlags) kind = 'X';
        if (!text.empty()) text += ' ';
        text += std::to_string(c.pointerId) + ':' + kind;
    }
    return text;
}

class TouchFrameTest : public ::testing::Test {
protected:
    TouchFrameTest() { calibration.screen = {1024, 768}; }

    const TouchFrame& Record(const RecordBuilder& record, std::uint32_t elapsedMs = 10,
                             ContactTracker::SlotMask takenByKey = 0)
    {
        return builder.Build(tracker.Update(record.Decoded(), elapsedMs, calibration, takenByKey), calibration.screen,
                             elapsedMs);
    }
    std::string Frame(const RecordBuilder& record, std::uint32_t elapsedMs = 10,
                      ContactTracker::SlotMask takenByKey = 0)
    {
        return Describe(Record(record, elapsedMs, takenByKey));
    }

    FakeCalibration calibration;
    ContactTracker tracker;
    TouchFrameBuilder builder;
};

TEST_F(TouchFrameTest, OneContactGoesDownUpdatesAndComesUp)
{
    EXPECT_EQ(Frame(RecordBuilder().Contact(0, 100, 200)), "");
    const TouchFrame& down = Record(RecordBuilder().Contact(0, 100, 200));
    ASSERT_EQ(down.count, 1u);
    EXPECT_EQ(down.contacts[0].pointerId, 0u);
    EXPECT_EQ(down.contacts[0].flags, kTouchDown | kTouchInRange | kTouchInContact);
    EXPECT_EQ(down.contacts[0].x, 100);
    EXPECT_EQ(down.contacts[0].y, 200);

    const TouchFrame& update = Record(RecordBuilder().Contact(0, 110, 205));
    ASSERT_EQ(update.count, 1u);
    EXPECT_EQ(update.contacts[0].flags, kTouchUpdate | kTouchInRange | kTouchInContact);
    EXPECT_EQ(update.contacts[0].x, 110);

    const TouchFrame& up = Record(RecordBuilder().Release(0));
    ASSERT_EQ(up.count, 1u);
    EXPECT_EQ(up.contacts[0].flags, static_cast<std::uint32_t>(kTouchUp));
    EXPECT_EQ(up.contacts[0].x, 110);
    EXPECT_EQ(up.contacts[0].y, 205);
    EXPECT_FALSE(builder.AnyDown());
}

TEST_F(TouchFrameTest, EveryFrameCarriesEveryActiveContact)
{
    Frame(RecordBuilder().Contact(0, 100, 100));
    EXPECT_EQ(Frame(RecordBuilder().Contact(0, 100, 100).Contact(2, 600, 400)), "0:D");
    EXPECT_EQ(Frame(RecordBuilder().Contact(0, 101, 100).Contact(2, 600, 400)), "0:U 2:D");
    EXPECT_EQ(Frame(RecordBuilder().Contact(2, 610, 400)), "0:U 2:U");
    EXPECT_EQ(Frame(RecordBuilder().Release(0).Contact(2, 620, 400)), "0:X 2:U");
    EXPECT_EQ(Frame(RecordBuilder().Release(2)), "2:X");
    EXPECT_EQ(Frame(RecordBuilder().Release(2)), "");
}

TEST_F(TouchFrameTest, FourContactsAtOnceAreFourPointers)
{
    RecordBuilder all;
    for (int s = 0; s < kPointSlots; ++s) all.Contact(s, 200u * (s + 1), 100);
    Frame(all);
    EXPECT_EQ(Frame(all), "0:D 1:D 2:D 3:D");
    EXPECT_EQ(Frame(all), "0:U 1:U 2:U 3:U");
    EXPECT_EQ(Describe(builder.Build(tracker.EndAll(), calibration.screen, 0)), "0:X 1:X 2:X 3:X");
}

// The system cancels a contact that gets no frame for 100 ms; a contact held
// still while the camera sends nothing new is kept alive.
TEST_F(TouchFrameTest, HeldContactsGetAFrameAtLeastEveryKeepAlivePeriod)
{
    Frame(RecordBuilder().Contact(1, 300, 300));
    Frame(RecordBuilder().Contact(1, 300, 300));
    std::uint32_t quiet = 0;
    std::vector<std::uint32_t> gaps;
    for (int n = 0; n < 200; ++n) {
        quiet += 2;
        const TouchFrame& frame = Record(RecordBuilder(), 2);
        if (frame.count != 0) {
            EXPECT_EQ(Describe(frame), "1:U");
            gaps.push_back(quiet);
            quiet = 0;
        }
    }
    ASSERT_FALSE(gaps.empty());
    for (std::uint32_t gap : gaps) EXPECT_EQ(gap, TouchFrameBuilder::kKeepAliveMs);

    // Nothing down, nothing to keep alive.
    Record(RecordBuilder().Release(1));
    for (int n = 0; n < 100; ++n) EXPECT_EQ(Record(RecordBuilder(), 2).count, 0u);
}

// A pen button's records never reach the tracker; the contacts held
// meanwhile still get their frames in time.
TEST_F(TouchFrameTest, HeldContactsStayAliveThroughRecordsTheTrackerNeverSees)
{
    Frame(RecordBuilder().Contact(2, 300, 300));
    Frame(RecordBuilder().Contact(2, 300, 300));
    int frames = 0;
    for (int n = 0; n < 100; ++n) {
        const TouchFrame& frame = builder.Build(tracker.Hold(), calibration.screen, 2);
        if (frame.count == 0) continue;
        ++frames;
        EXPECT_EQ(Describe(frame), "2:U");
    }
    EXPECT_EQ(frames, 200 / static_cast<int>(TouchFrameBuilder::kKeepAliveMs));
    EXPECT_EQ(tracker.StateOf(2), ContactTracker::SlotState::Live) << "held time is no silence";
}

// With the socket open, its slots stay off the touch screen; a contact that
// crosses to the socket's side comes up and one that crosses back goes down.
TEST_F(TouchFrameTest, OnlyTheSlotsGivenBecomeTouchPointers)
{
    const RecordBuilder both = RecordBuilder().Contact(0, 100, 100).Contact(3, 900, 100);
    Frame(both);
    const ContactTracker::SlotMask firstPair = 0b0011;
    EXPECT_EQ(
        Describe(builder.Build(tracker.Update(both.Decoded(), 10, calibration), calibration.screen, 10, firstPair)),
        "0:D");
    EXPECT_EQ(Describe(builder.Build(tracker.Update(both.Decoded(), 10, calibration), calibration.screen, 10, 0b1000)),
              "0:X 3:D");
    EXPECT_EQ(Describe(builder.Build(tracker.Update(both.Decoded(), 10, calibration), calibration.screen, 10, 0b1001)),
              "0:D 3:U");
}

TEST_F(TouchFrameTest, SilenceAndKeysBringTheirContactsUp)
{
    Frame(RecordBuilder().Contact(0, 100, 100).Contact(1, 500, 100));
    Frame(RecordBuilder().Contact(0, 100, 100).Contact(1, 500, 100));
    EXPECT_EQ(Frame(RecordBuilder().Contact(0, 100, 100).Contact(1, 500, 100), 10, 1u << 1), "0:U 1:X");
    EXPECT_EQ(Frame(RecordBuilder(), 600), "0:X");
}

TEST_F(TouchFrameTest, PositionsAndAreasStayOnTheScreen)
{
    calibration.screen = {1024, 768};
    Frame(RecordBuilder().Contact(0, 1024, 768));
    const TouchContact corner = Record(RecordBuilder().Contact(0, 1024, 768)).contacts[0];
    EXPECT_EQ(corner.x, 1023);
    EXPECT_EQ(corner.y, 767);
    EXPECT_EQ(corner.area.left, 1021);
    EXPECT_EQ(corner.area.right, 1023);
    EXPECT_EQ(corner.area.top, 765);
    EXPECT_EQ(corner.area.bottom, 767);

    const TouchContact origin = Record(RecordBuilder().Contact(0, 0, 0)).contacts[0];
    EXPECT_EQ(origin.area.left, 0);
    EXPECT_EQ(origin.area.top, 0);
    EXPECT_EQ(origin.area.right, 2);
    EXPECT_EQ(origin.area.bottom, 2);

    const TouchContact middle = Record(RecordBuilder().Contact(0, 500, 300)).contacts[0];
    EXPECT_EQ(middle.area.left, 498);
    EXPECT_EQ(middle.area.right, 502);
}

// A refused frame leaves the system's view unknown: the contacts still
// live go down again, and the ones that ended meanwhile are not brought up
// for a system that no longer knows them.
TEST_F(TouchFrameTest, AfterForgettingLiveContactsGoDownAgain)
{
    Frame(RecordBuilder().Contact(0, 100, 100).Contact(3, 900, 100));
    Frame(RecordBuilder().Contact(0, 100, 100).Contact(3, 900, 100));
    builder.Forget();
    EXPECT_FALSE(builder.AnyDown());
    EXPECT_EQ(Frame(RecordBuilder().Release(3).Contact(0, 100, 100)), "0:D");
    EXPECT_EQ(Frame(RecordBuilder().Contact(0, 100, 100)), "0:U");
}

// Snapshots that break the tracker's promises (a caller that dropped one)
// still give valid sequences: a contact gone without an end comes up, and a
// new contact under an id that is still down waits until that one is up.
TEST_F(TouchFrameTest, IdsAreNeverReusedWhileDown)
{
    ContactSnapshot first;
    first.sampled = true;
    first.liveCount = 1;
    first.live[0].slot = 2;
    first.live[0].session = 7;
    first.live[0].screen = {10, 10};
    EXPECT_EQ(Describe(builder.Build(first, calibration.screen, 0)), "2:D");

    ContactSnapshot replaced = first;
    replaced.live[0].session = 8;
    replaced.live[0].screen = {50, 50};
    const TouchFrame& up = builder.Build(replaced, calibration.screen, 0);
    EXPECT_EQ(Describe(up), "2:X");
    EXPECT_EQ(up.contacts[0].x, 10);
    EXPECT_EQ(Describe(builder.Build(replaced, calibration.screen, 0)), "2:D");

    ContactSnapshot gone;
    gone.sampled = true;
    EXPECT_EQ(Describe(builder.Build(gone, calibration.screen, 0)), "2:X");
    EXPECT_FALSE(builder.AnyDown());
}

} // namespace
} // namespace driver
