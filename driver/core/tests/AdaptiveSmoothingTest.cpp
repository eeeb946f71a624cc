// The adaptive chain where it works: the mouse pointer (press and release
// at once, press-and-hold on the smoothed point, time from the camera's
// frames rather than the worker's polls), the touch socket and the tracked
// contacts, each with a chain of its own.
#include "DriverFakes.h"
#include "TestInput.h"
#include "WorkerFakes.h"

#include "driver/ContactTracker.h"
#include "driver/GestureMachines.h"
#include "driver/TouchWorker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace driver {
namespace {

using testing::Ax;
using testing::Ay;
using testing::kLeftUp;
using testing::kMove;
using testing::kMoveLeftDown;
using testing::kRightClick;
using testing::MouseEvent;
using testing::RecordBuilder;
using testing::RecordingChannel;

// The camera's 3200 x 2400 units on the fakes' 1024 x 768 screen.
constexpr double kPixelsPerUnit = 0.32;

FilterSettings Adaptive()
{
    FilterSettings settings;
    settings.mode = FilterMode::Adaptive;
    return settings;
}

int Px(double units)
{
    return static_cast<int>(units * kPixelsPerUnit);
}

class AdaptiveMouseTest : public ::testing::Test, protected testing::WorkerFakes {
protected:
    AdaptiveMouseTest() { calibration.scale = kPixelsPerUnit; }

    // One camera frame at 60 frames a second, read on the worker's 2 ms
    // beat: 7 or 8 polls that find nothing, then the record.
    void Frame(TouchWorker& worker, const RecordBuilder& record, bool emptyPolls = true)
    {
        const int polls = frames_++ % 3 == 2 ? 8 : 9;
        for (int n = 1; n < polls; ++n) {
            desktop.now += 2;
            if (emptyPolls) worker.Cycle(RecordBuilder().Bytes(), calibration);
        }
        desktop.now += 2;
        worker.Cycle(record.Bytes(), calibration);
    }
    void Frame(const RecordBuilder& record) { Frame(worker, record); }
    std::size_t Count(std::uint32_t flags) const
    {
        std::size_t n = 0;
        for (const MouseEvent& e : desktop.mouseEvents) n += e.flags == flags ? 1 : 0;
        return n;
    }

    TouchWorker worker{Deps({}, Adaptive())};
    int frames_ = 0;
};

TEST_F(AdaptiveMouseTest, PressAndReleaseGoOutAtOnceAndASpikeMovesNothing)
{
    worker.Begin();
    Frame(RecordBuilder().Contact(0, 1600, 1200));
    Frame(RecordBuilder().Contact(0, 1606, 1197));
    EXPECT_THAT(desktop.mouseEvents, ::testing::ElementsAre(MouseEvent{kMoveLeftDown, Ax(Px(1606)), Ay(Px(1197))}));
    for (int n = 0; n < 10; ++n) Frame(RecordBuilder().Contact(0, 1600 + n % 3, 1200 - n % 2));
    const std::size_t moves = desktop.mouseEvents.size();

    Frame(RecordBuilder().Contact(0, 1600, 1400));
    EXPECT_EQ(desktop.mouseEvents.size(), moves);
    Frame(RecordBuilder().Release(0));
    ASSERT_EQ(desktop.mouseEvents.size(), moves + 1);
    const MouseEvent up = desktop.mouseEvents.back();
    EXPECT_EQ(up.flags, kLeftUp);
    EXPECT_NEAR(up.ay, Ay(Px(1200)), Ay(2));
}

TEST_F(AdaptiveMouseTest, PressAndHoldCountsOnTheSmoothedPoint)
{
    worker.Begin();
    Frame(RecordBuilder().Contact(0, 1600, 1200));
    Frame(RecordBuilder().Contact(0, 1600, 1200));
    // Every other sample lies 9.6 pixels from the press: each would end the
    // stillness, but the smoothed point stays within the radius.
    for (int n = 0; n < 110; ++n) Frame(RecordBuilder().Contact(0, n % 2 ? 1600 : 1630, 1200));
    EXPECT_EQ(Count(kRightClick), 1u);
}

TEST_F(AdaptiveMouseTest, TheChainCountsCameraFramesNotPolls)
{
    TouchWorker polled{Deps({}, Adaptive())};
    testing::FakeDesktop& events = desktop;
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0, 4);
    std::vector<RecordBuilder> stroke;
    for (int n = 0; n < 60; ++n) {
        const double x = 400 + 25 * n + noise(random);
        stroke.push_back(
            RecordBuilder().Contact(0, static_cast<unsigned>(x), static_cast<unsigned>(1000 + noise(random))));
    }
    stroke.push_back(RecordBuilder().Release(0));

    polled.Begin();
    for (const RecordBuilder& record : stroke) Frame(polled, record, true);
    const std::vector<MouseEvent> withPolls = events.mouseEvents;
    events.mouseEvents.clear();
    frames_ = 0;
    worker.Begin();
    for (const RecordBuilder& record : stroke) Frame(worker, record, false);
    EXPECT_EQ(events.mouseEvents, withPolls);
    EXPECT_EQ(Count(kMove), stroke.size() - 3);
}

TEST(AdaptiveSocketTest, TheSocketSmoothsOnAChainOfItsOwn)
{
    testing::FakeDesktop desktop;
    DriverState state;
    state.socketRouting = SocketRouting::PairSplit;
    testing::FakeBoardKeys keys;
    testing::FakeCalibration calibration;
    calibration.scale = kPixelsPerUnit;
    auto channel = std::make_shared<RecordingChannel>();
    ChannelSlot socket;
    socket.Publish(channel);
    GestureMachines machines(desktop, state, keys, socket, MakeSmoothing(Adaptive()));

    std::uint32_t now = 0;
    const auto frame = [&](unsigned mouseX, unsigned socketX) {
        machines.Process(RecordBuilder().Contact(0, mouseX, 600).Contact(2, socketX, 1800).Decoded(), calibration,
                         now += 17);
    };
    // The mouse's contact jumps about at the other end of the board.
    for (int n = 0; n < 20; ++n) frame(n % 2 ? 400 : 700, n % 2 ? 2400 : 2409);
    ASSERT_EQ(channel->writes.size(), 19u);
    EXPECT_THAT(channel->writes[0],
                ::testing::ElementsAreArray(BuildTouchPacket(PacketEvent::Contact, Px(2400), Px(1800))));
    for (const auto& packet : channel->writes) EXPECT_NEAR((packet[3] << 8 | packet[4]) / kPixelsPerUnit, 2405, 8);

    frame(400, 2600);
    EXPECT_EQ(channel->writes.size(), 19u);
    frame(400, 2404);
    EXPECT_EQ(channel->writes.size(), 20u);
    EXPECT_NEAR((channel->writes.back()[3] << 8 | channel->writes.back()[4]) / kPixelsPerUnit, 2405, 8);
}

TEST(AdaptiveTrackerTest, EachContactHasAChainOfItsOwnThatStartsWithIt)
{
    testing::FakeCalibration calibration;
    ContactTracker tracker(MakeSmoothing(Adaptive()));
    const auto update = [&](const RecordBuilder& record) -> const ContactSnapshot& {
        return tracker.Update(record.Decoded(), 17, calibration);
    };
    update(RecordBuilder().Contact(0, 300, 300));
    const ContactSnapshot& started = update(RecordBuilder().Contact(0, 304, 300));
    ASSERT_EQ(started.liveCount, 1u);
    EXPECT_DOUBLE_EQ(started.live[0].screen.x, 304);

    // A second contact far away is no spike of the first.
    update(RecordBuilder().Contact(0, 300, 300).Contact(1, 900, 600));
    const ContactSnapshot& both = update(RecordBuilder().Contact(0, 304, 300).Contact(1, 900, 600));
    ASSERT_EQ(both.liveCount, 2u);
    EXPECT_NEAR(both.live[0].screen.x, 303, 1.5);
    EXPECT_DOUBLE_EQ(both.live[1].screen.x, 900);

    const ContactSnapshot& spiked = update(RecordBuilder().Contact(0, 500, 300).Contact(1, 900, 600));
    EXPECT_NEAR(spiked.live[0].screen.x, 303, 1.5);

    // After a release the next contact starts at its own first point.
    update(RecordBuilder().Release(0).Contact(1, 900, 600));
    update(RecordBuilder().Contact(0, 100, 100).Contact(1, 900, 600));
    const ContactSnapshot& again = update(RecordBuilder().Contact(0, 110, 100).Contact(1, 900, 600));
    ASSERT_EQ(again.liveCount, 2u);
    EXPECT_DOUBLE_EQ(again.live[0].screen.x, 110);
    update(RecordBuilder().Contact(0, 115, 100).Contact(1, 900, 600));
    const ContactSnapshot& held = update(RecordBuilder().Contact(0, 120, 100).Contact(1, 900, 600));
    EXPECT_NEAR(held.live[0].screen.x, 111, 3);
}

} // namespace
} // namespace driver
