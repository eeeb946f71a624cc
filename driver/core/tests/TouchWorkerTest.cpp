// The worker's cycle: idleness and the hook, pen buttons, camera reports,
// hand-over to the gestures and raw forwarding.
#include "DriverFakes.h"
#include "WorkerFakes.h"
#include "TestInput.h"

#include "common/Messages.h"
#include "driver/DriverShutdown.h"
#include "driver/TouchWorker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace driver {
namespace {

using ::testing::ElementsAre;
using testing::FakeDesktop;
using ::testing::IsEmpty;
using testing::PostedMessage;
using testing::RecordBuilder;
using testing::RecordingChannel;
using testing::TimerStart;

constexpr unsigned kWindowClose = 0x0010;

class TouchWorkerTest : public ::testing::Test, protected testing::WorkerFakes {
protected:
    TouchWorkerTest()
    {
        socket.Publish(socketChannel);
        pipe.Publish(pipeChannel);
    }

    void Cycle(const RecordBuilder& record = RecordBuilder()) { worker.Cycle(record.Bytes(), calibration); }
    void Cycles(int n)
    {
        for (int i = 0; i < n; ++i) Cycle();
    }

    std::shared_ptr<RecordingChannel> socketChannel = std::make_shared<RecordingChannel>();
    std::shared_ptr<RecordingChannel> pipeChannel = std::make_shared<RecordingChannel>();
    TouchWorker worker{{desktop, hook, state, nullptr, keys, socket, pipe, faults}};
};

// --- idleness and the hook ----------------------------------------------

TEST_F(TouchWorkerTest, IdleCountOf500KeepsTheHookOnAnd501SwitchesItOff)
{
    worker.Begin();
    Cycles(501); // counts 0..500 seen at the switch
    EXPECT_EQ(state.idleCount, 501);
    EXPECT_THAT(hook.calls, ElementsAre(1));
    Cycle();
    Cycle();
    EXPECT_THAT(hook.calls, ElementsAre(1, 0, 0)); // repeated while idle
}

TEST_F(TouchWorkerTest, ActivityAfterIdlenessSwitchesTheHookBackOnOnce)
{
    worker.Begin();
    state.idleCount = 600;
    Cycle(RecordBuilder().Contact(0, 10, 10));
    Cycle();
    Cycle();
    EXPECT_THAT(hook.calls, ElementsAre(1, 0, 1));
}

// --- pen buttons ---------------------------------------------------------

TEST_F(TouchWorkerTest, HeldFrontButtonCountsOnePressUntilARelease)
{
    desktop.cursor = {321, 123};
    state.idleCount = 50;
    Cycle(RecordBuilder().Event(8));
    Cycle(RecordBuilder().Event(8));
    Cycle(RecordBuilder().Event(8));
    EXPECT_EQ(state.frontPenPresses, 1);
    EXPECT_EQ(state.actionArmed, 0);
    EXPECT_EQ(state.savedCursor.Load(), (ScreenPosition{321, 123}));
    EXPECT_EQ(state.idleCount, 0);
    EXPECT_THAT(desktop.timers, ElementsAre(TimerStart{67, 300}));

    Cycle(RecordBuilder().Release(2)); // a release in any slot re-arms
    desktop.cursor = {5, 6};
    Cycle(RecordBuilder().Event(8));
    EXPECT_EQ(state.frontPenPresses, 2);
    EXPECT_EQ(state.savedCursor.Load().x, 5);
    EXPECT_THAT(desktop.timers, ElementsAre(TimerStart{67, 300})); // already running
}

TEST_F(TouchWorkerTest, RearButtonStartsTheLongerTimerAndNotifiesTheHookEveryRecord)
{
    Cycle(RecordBuilder().Event(9));
    Cycle(RecordBuilder().Event(9));
    EXPECT_EQ(state.rearPenPresses, 1);
    EXPECT_THAT(desktop.timers, ElementsAre(TimerStart{67, 500}));
    EXPECT_THAT(hook.calls, ElementsAre('H', 'H'));
}

TEST_F(TouchWorkerTest, PenButtonRecordsDoNotReachTheGestures)
{
    Cycle(RecordBuilder().Event(8).Contact(1, 100, 100));
    Cycle(RecordBuilder().Event(9).Contact(1, 100, 100).Release(2));
    Cycle(RecordBuilder().Contact(1, 100, 100)); // only the first sample the gestures see
    EXPECT_THAT(desktop.mouseEvents, IsEmpty());
}

// --- camera reports ------------------------------------------------------

TEST_F(TouchWorkerTest, FirstCameraReportTellsTheDrawingApplicationOnce)
{
    const WindowRef drawingApp = desktop.AddWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
    Cycle(RecordBuilder().Event(4));
    EXPECT_EQ(state.cameraKind, 2);
    Cycle(RecordBuilder().Event(3));
    EXPECT_EQ(state.cameraKind, 1);
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{drawingApp, msg::kBoardEvent, 10, 2321}));
    EXPECT_EQ(state.connectNoticeSent, 1);
}

TEST_F(TouchWorkerTest, CameraReportRecordsStillCarryContacts)
{
    Cycle(RecordBuilder().Event(3).Contact(2, 100, 100));
    Cycle(RecordBuilder().Event(3).Contact(2, 100, 100));
    ASSERT_EQ(desktop.mouseEvents.size(), 1u);
    EXPECT_EQ(desktop.mouseEvents[0].flags, 0x8003u);
}

// --- routing and orientation ---------------------------------------------

TEST_F(TouchWorkerTest, UpsideDownCameraTurnsPointsBeforeTheGestures)
{
    calibration.upright = 0;
    calibration.scale = 0.25; // (3200 - 2800, 2400 - 2000) -> (100, 100)
    Cycle(RecordBuilder().Contact(0, 2800, 2000));
    Cycle(RecordBuilder().Contact(0, 2800, 2000));
    ASSERT_EQ(desktop.mouseEvents.size(), 1u);
    EXPECT_EQ(desktop.mouseEvents[0].ax, testing::Ax(100));
    EXPECT_EQ(desktop.mouseEvents[0].ay, testing::Ay(100));
}

TEST_F(TouchWorkerTest, SocketModePicksTheVariantPerRecord)
{
    state.socketRouting = SocketRouting::PairSplit;
    Cycle(RecordBuilder().Contact(2, 800, 100));
    Cycle(RecordBuilder().Contact(2, 800, 100));
    EXPECT_EQ(socketChannel->writes.size(), 1u);
    state.socketRouting = SocketRouting::Off;
    Cycle(RecordBuilder().Contact(2, 800, 100));
    Cycle(RecordBuilder().Contact(2, 800, 100));
    // The socket's contact was ended when its routing went away.
    ASSERT_EQ(socketChannel->writes.size(), 2u);
    EXPECT_EQ(socketChannel->writes[1][2], testing::kReleasePacket);
    EXPECT_EQ(desktop.mouseEvents.size(), 1u);
}

TEST_F(TouchWorkerTest, WithoutAPublishedCalibrationNothingIsInjected)
{
    const RecordBuilder contact = RecordBuilder().Contact(0, 100, 100);
    worker.Cycle(contact.Bytes());
    worker.Cycle(contact.Bytes());
    worker.Cycle(RecordBuilder().Release(0).Bytes());
    EXPECT_THAT(desktop.mouseEvents, IsEmpty());
    EXPECT_EQ(state.idleCount, 0);
}

// --- raw forwarding ------------------------------------------------------

class ForwardingTest : public TouchWorkerTest {
protected:
    ForwardingTest()
    {
        state.forwarding = ForwardingState::Forwarding;
        calibration.tolerance = 10;
        calibration.keys[12] = {1000, 700};
        calibration.keys[26] = {100, 50};
        dialog = desktop.AddWindow(wnd::kCalibrationDialogClass, "any caption");
    }
    WindowRef dialog = 0;
};

TEST_F(ForwardingTest, EveryCycleWritesTheRecordAsReadEvenWhenEmpty)
{
    calibration.upright = 0;
    const RecordBuilder contact = RecordBuilder().Contact(0, 0x1234, 0x0567).Event(8);
    Cycle();
    Cycle(contact);
    ASSERT_EQ(pipeChannel->writes.size(), 2u);
    EXPECT_EQ(pipeChannel->writes[0], std::vector<std::uint8_t>(20, 0));
    EXPECT_EQ(pipeChannel->writes[1], std::vector<std::uint8_t>(contact.Bytes(), contact.Bytes() + 20));
    EXPECT_THAT(desktop.mouseEvents, IsEmpty());
    EXPECT_EQ(state.frontPenPresses, 0);
}

TEST_F(ForwardingTest, CalibrationKeyClosesTheDialogOncePerContact)
{
    Cycle(RecordBuilder().Contact(0, 1011, 700)); // one pixel beyond the tolerance
    Cycle(RecordBuilder().Contact(0, 1000, 689));
    EXPECT_THAT(desktop.posts, IsEmpty());
    Cycle(RecordBuilder().Contact(0, 1010, 690)); // exactly the tolerance away
    Cycle(RecordBuilder().Contact(0, 1000, 700));
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{dialog, kWindowClose, 1, 1}));
    EXPECT_THAT(desktop.sleeps, ElementsAre(200u));
    Cycle(RecordBuilder().Release(1));
    Cycle(RecordBuilder().Contact(1, 95, 55)); // the key's second copy
    EXPECT_EQ(desktop.posts.size(), 2u);
}

TEST_F(ForwardingTest, PlainForwardingSkipsTheKeyTest)
{
    state.forwardPlain = 1;
    Cycle(RecordBuilder().Contact(0, 1000, 700));
    EXPECT_THAT(desktop.posts, IsEmpty());
    EXPECT_EQ(pipeChannel->writes.size(), 1u);
}

} // namespace
} // namespace driver

namespace driver {
namespace {

TEST(DriverShutdownTest, DrawingApplicationHearsOfTheCloseOnlyAfterACameraNotice)
{
    testing::FakeDesktop desktop;
    DriverState state;
    const WindowRef drawingApp = desktop.AddWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
    AnnounceDriverClosing(desktop, state);
    EXPECT_THAT(desktop.posts, ::testing::IsEmpty());

    state.connectNoticeSent = 1;
    AnnounceDriverClosing(desktop, state);
    EXPECT_THAT(desktop.posts, ::testing::ElementsAre(testing::PostedMessage{drawingApp, msg::kBoardEvent, 0, 0x119}));
}

} // namespace
} // namespace driver
