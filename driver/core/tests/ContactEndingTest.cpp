// Contacts whose release never comes: the silence bound, changes of routing
// and the driver's close each end them with a release made up by the driver.
#include "DriverFakes.h"
#include "WorkerFakes.h"
#include "TestInput.h"

#include "driver/MouseInput.h"
#include "driver/TouchWorker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace driver {
namespace {

using testing::kContactPacket;
using testing::kDoubleTapPacket;
using testing::kLeftUp;
using testing::kMoveLeftDown;
using testing::kReleasePacket;
using testing::RecordBuilder;
using testing::RecordingChannel;

constexpr std::uint32_t kCycleMs = 2;

class ContactEndingTest : public ::testing::Test, protected testing::WorkerFakes {
protected:
    ContactEndingTest()
    {
        socket.Publish(socketChannel);
        worker.Begin();
    }

    // One worker cycle, kCycleMs after the previous one.
    void Cycle(const RecordBuilder& record = RecordBuilder())
    {
        desktop.now += kCycleMs;
        worker.Cycle(record.Bytes(), calibration);
    }
    // Empty records (nothing new from the camera) for `ms`.
    void Quiet(std::uint32_t ms)
    {
        for (std::uint32_t t = 0; t < ms; t += kCycleMs) Cycle();
    }
    void Press(int slot, unsigned x, unsigned y)
    {
        Cycle(RecordBuilder().Contact(slot, x, y));
        Cycle(RecordBuilder().Contact(slot, x, y));
    }
    int Count(std::uint32_t flags) const
    {
        return static_cast<int>(std::count_if(desktop.mouseEvents.begin(), desktop.mouseEvents.end(),
                                              [&](const testing::MouseEvent& e) { return e.flags == flags; }));
    }
    // Half-split releases are routed by their own point.
    static RecordBuilder RightHalfRelease() { return RecordBuilder().Slot(0, 2, 900, 300); }
    std::vector<std::uint8_t> PacketEvents() const
    {
        std::vector<std::uint8_t> events;
        for (const auto& packet : socketChannel->writes) events.push_back(packet[2]);
        return events;
    }

    std::shared_ptr<RecordingChannel> socketChannel = std::make_shared<RecordingChannel>();
    TouchWorker worker{Deps()};
};

TEST_F(ContactEndingTest, ASilentContactIsReleasedOnceJustAfterTheBound)
{
    Press(0, 400, 300);
    ASSERT_EQ(Count(kMoveLeftDown), 1);
    Quiet(kSilenceMs);
    EXPECT_EQ(Count(kLeftUp), 0) << "released before the bound";
    Cycle();
    Cycle();
    EXPECT_EQ(Count(kLeftUp), 1);
    // At the last point, and nothing more however long the silence lasts.
    EXPECT_EQ(desktop.mouseEvents.back().ax, testing::Ax(400));
    Quiet(3000);
    EXPECT_EQ(Count(kLeftUp), 1);
    EXPECT_EQ(faults.Count("no samples for 500 ms"), 1u);
}

TEST_F(ContactEndingTest, AHeldContactKeepsItsPressAndStillRightClicks)
{
    Press(0, 400, 300);
    // A camera at 15 frames a second: one sample every 66 ms, empty records between.
    for (int frame = 0; frame < 101; ++frame) {
        Quiet(64);
        Cycle(RecordBuilder().Contact(0, 400, 300));
    }
    EXPECT_EQ(Count(kLeftUp), 1) << "only the press-and-hold's own click";
    EXPECT_EQ(Count(0x8019), 1);
}

TEST_F(ContactEndingTest, HeldPenButtonNeitherFeedsNorStarvesThePointer)
{
    Press(0, 400, 300);
    // The pen button held for two seconds: its records replace the contact's.
    for (int n = 0; n < 1000; ++n) Cycle(RecordBuilder().Event(8));
    EXPECT_EQ(Count(kLeftUp), 0);
    EXPECT_EQ(state.frontPenPresses, 1);
    Quiet(kSilenceMs + 2 * kCycleMs);
    EXPECT_EQ(Count(kLeftUp), 1);
}

TEST_F(ContactEndingTest, PenRecordsWithoutEndHoldThePressOnlyUpToTheCap)
{
    Press(0, 400, 300);
    // A camera service that repeats the front button's code in every record.
    for (std::uint32_t t = 0; t <= TouchWorker::kPenHoldCapMs; t += kCycleMs) Cycle(RecordBuilder().Event(8));
    EXPECT_EQ(Count(kLeftUp), 0) << "released while the button could still be held by hand";
    for (std::uint32_t t = 0; t <= kSilenceMs + 100; t += kCycleMs) Cycle(RecordBuilder().Event(8));
    EXPECT_EQ(Count(kLeftUp), 1);
    EXPECT_EQ(state.frontPenPresses, 1) << "the repeated code counted as a new press after the release";

    // A later contact presses as usual, and a short hold holds it again.
    Press(0, 600, 300);
    for (int n = 0; n < 500; ++n) Cycle(RecordBuilder().Event(9));
    Quiet(kSilenceMs);
    EXPECT_EQ(Count(kMoveLeftDown), 2);
    EXPECT_EQ(Count(kLeftUp), 1);
}

TEST_F(ContactEndingTest, AMadeUpReleaseActsLikeARealOne)
{
    Press(0, 400, 300);
    state.actionArmed = 0; // as after a board key or pen press during the contact
    Quiet(kSilenceMs + 4);
    EXPECT_EQ(state.actionArmed, 1);
    // Debounce cleared: the next contact's first sample is dropped again.
    Cycle(RecordBuilder().Contact(0, 500, 300));
    EXPECT_EQ(Count(kMoveLeftDown), 1);
    Cycle(RecordBuilder().Contact(0, 500, 300));
    EXPECT_EQ(Count(kMoveLeftDown), 2);
}

TEST_F(ContactEndingTest, AContactThatOnlyArmedIsForgottenWithoutInput)
{
    Cycle(RecordBuilder().Contact(0, 400, 300));
    Quiet(kSilenceMs + 4);
    Cycle(RecordBuilder().Contact(0, 500, 300));
    EXPECT_TRUE(desktop.mouseEvents.empty()) << "a stale debounce let a single sample press";
    EXPECT_TRUE(faults.lines.empty());
}

TEST_F(ContactEndingTest, SilentSocketContactEndsWithAPlainReleaseOutsideTheTapPairs)
{
    state.socketRouting = SocketRouting::HalfSplit;
    Cycle(); // the routing change is seen with nothing in progress
    // First tap: contact and real release on the right half.
    Press(0, 900, 300);
    Cycle(RightHalfRelease());
    // Second contact falls silent.
    Press(0, 900, 300);
    Quiet(kSilenceMs + 4);
    // A third tap at once: its release pairs with the first tap's, 512 ms
    // later at the same place, so it completes a double tap only because
    // the made-up release in between was not counted.
    Press(0, 900, 300);
    Cycle(RightHalfRelease());
    EXPECT_EQ(PacketEvents(), (std::vector<std::uint8_t>{kContactPacket, kReleasePacket, kContactPacket, kReleasePacket,
                                                         kContactPacket, kDoubleTapPacket}));
    // The double tap ended the pair: the next quick tap starts a new one.
    Press(0, 900, 300);
    Cycle(RightHalfRelease());
    EXPECT_EQ(PacketEvents().back(), kReleasePacket);
}

TEST_F(ContactEndingTest, MadeUpSocketReleaseIsNeverADoubleTap)
{
    state.socketRouting = SocketRouting::HalfSplit;
    Cycle();
    Press(0, 900, 300);
    Cycle(RightHalfRelease());
    Press(0, 900, 300);
    state.socketRouting = SocketRouting::Off; // the drawing application closes the socket mid-tap
    Cycle();
    ASSERT_EQ(socketChannel->writes.size(), 4u);
    EXPECT_EQ(socketChannel->writes[3][2], kReleasePacket);
    EXPECT_NE(socketChannel->writes[3][2], kDoubleTapPacket);
    // Nor did it end the pair: a quick tap once the socket is back completes it.
    state.socketRouting = SocketRouting::HalfSplit;
    Cycle();
    Press(0, 900, 300);
    Cycle(RightHalfRelease());
    EXPECT_EQ(PacketEvents().back(), kDoubleTapPacket);
}

TEST_F(ContactEndingTest, EveryChangeOfRoutingReleasesTheMouse)
{
    struct Change {
        const char* name;
        std::function<void(DriverState&)> apply;
    };
    const std::vector<Change> changes = {
        {"socket on, slots", [](DriverState& s) { s.socketRouting = SocketRouting::PairSplit; }},
        {"socket on, halves", [](DriverState& s) { s.socketRouting = SocketRouting::HalfSplit; }},
        {"forwarding", [](DriverState& s) { s.forwarding = ForwardingState::Forwarding; }},
        // Switched and switched back between two records: only the count tells.
        {"camera arrival or removal", [](DriverState& s) { s.NoteRoutingChange(); }},
    };
    for (const Change& change : changes) {
        desktop.mouseEvents.clear();
        state.socketRouting = SocketRouting::Off;
        state.forwarding = ForwardingState::Idle;
        Cycle();
        Press(0, 100, 300);
        change.apply(state);
        Cycle();
        EXPECT_EQ(Count(kLeftUp), 1) << change.name;
    }
}

TEST_F(ContactEndingTest, ClosingReleasesWhateverIsDown)
{
    state.socketRouting = SocketRouting::PairSplit;
    Cycle();
    Press(0, 100, 300);
    Press(2, 700, 300);
    worker.End(calibration);
    EXPECT_EQ(Count(kLeftUp), 1);
    EXPECT_EQ(PacketEvents().back(), kReleasePacket);
    EXPECT_EQ(faults.Count("closing"), 2u);
    // Nothing down: nothing to release.
    desktop.mouseEvents.clear();
    worker.End(calibration);
    EXPECT_TRUE(desktop.mouseEvents.empty());
}

} // namespace
} // namespace driver
