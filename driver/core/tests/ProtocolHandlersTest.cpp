// Other programs' requests to the driver window: forwarding ends with and
// without a calibration reload, board keys, pen-button reloads, the
// camera-ready notice and the touch socket's open, close and query.
#include "CalibrationGridWriter.h"
#include "CalibrationMemoryProfile.h"
#include "DriverFakes.h"

#include "common/CameraIds.h"
#include "common/Messages.h"
#include "driver/CaptureDeviceWatch.h"
#include "driver/ProtocolHandlers.h"
#include "testsupport/CameraDeviceNames.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

namespace driver {
namespace {

using calibration_testing::MemoryProfile;
using ::testing::ElementsAre;
using testing::FakeDesktop;
using testing::FakePipeHost;
using testing::FakeSocketFactory;
using ::testing::IsEmpty;
using testing::PostedMessage;

class ProtocolHandlersTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    DriverState state;
    CalibrationStore calibration;
    MemoryProfile settings;
    ChannelSlot socket;
    ChannelSlot pipe;
    FakeSocketFactory sockets;
    FakePipeHost pipes;
    PenButtonSettings penButtons;
    ActionMap actions;
    int reloadFailures = 0;
    // Whether forwarding was still on when the failure box came up.
    bool boxWhileForwarding = false;
    testing::RecordingFaultLog faults;
    ProtocolHandlers handlers{{desktop, state, calibration, settings, socket, pipe, sockets, pipes, penButtons, actions,
                               [this] {
                                   ++reloadFailures;
                                   boxWhileForwarding = state.Forwarding();
                               },
                               faults}};

    void WriteGoodCalibration() { calibration_testing::WriteRegularGrid(settings, 3, 3, 400, 300, 2800, 2100); }

    void StartForwardingRun()
    {
        handlers.OnPipeForwardStart(0, 8);
        pipes.Last()->link = PipeInstance::Link::Connected;
        handlers.OnForwardingNews();
        ASSERT_EQ(handlers.ForwardingState(), PipeForwarding::State::Forwarding);
    }

    void ExpectForwardingEnded()
    {
        EXPECT_EQ(handlers.ForwardingState(), PipeForwarding::State::Idle);
        EXPECT_FALSE(state.Forwarding());
        EXPECT_EQ(state.forwardPlain, 0);
        EXPECT_EQ(pipe.Current(), nullptr);
        EXPECT_EQ(pipes.Alive(), 0);
    }
};

TEST_F(ProtocolHandlersTest, EndWithZeroesReloadsAndTellsTheCameraService)
{
    WriteGoodCalibration();
    const WindowRef service = desktop.AddWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    const auto before = calibration.Current();
    StartForwardingRun();
    handlers.OnPipeForwardEnd(0, 0);
    EXPECT_NE(calibration.Current(), before);
    Point p{1600, 1200};
    EXPECT_TRUE(calibration.MapPoint(p)) << "the reloaded calibration maps";
    EXPECT_EQ(reloadFailures, 0);
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{service, msg::kCalibrationReloaded, 0, 0}));
    ExpectForwardingEnded();
}

TEST_F(ProtocolHandlersTest, FailedReloadIsShownAfterForwardingEndedAndStillTellsTheService)
{
    const WindowRef service = desktop.AddWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    StartForwardingRun();
    handlers.OnPipeForwardEnd(0, 0);
    EXPECT_EQ(reloadFailures, 1);
    EXPECT_FALSE(boxWhileForwarding) << "a box nobody dismisses kept the board dead";
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{service, msg::kCalibrationReloaded, 0, 0}));
    ExpectForwardingEnded();
    EXPECT_EQ(faults.Count("could not be used as measured"), 1u);
}

TEST_F(ProtocolHandlersTest, EndWithZeroesAfterARunThatEndedByItselfStillReloads)
{
    WriteGoodCalibration();
    const WindowRef service = desktop.AddWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    StartForwardingRun();
    pipes.Last()->link = PipeInstance::Link::Lost; // the calibration program crashed
    handlers.OnForwardingNews();
    ExpectForwardingEnded();
    const auto before = calibration.Current();
    handlers.OnPipeForwardEnd(0, 0);
    EXPECT_NE(calibration.Current(), before);
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{service, msg::kCalibrationReloaded, 0, 0}));
}

TEST_F(ProtocolHandlersTest, ReloadWithoutCameraServiceSendsNothing)
{
    WriteGoodCalibration();
    desktop.AddWindow(wnd::kCameraServiceClass, "another caption");
    handlers.OnPipeForwardEnd(0, 0);
    EXPECT_THAT(desktop.posts, IsEmpty());
    EXPECT_EQ(reloadFailures, 0);
}

TEST_F(ProtocolHandlersTest, EndWithOtherArgumentsOnlyEndsForwarding)
{
    desktop.AddWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    const auto before = calibration.Current();
    StartForwardingRun();
    handlers.OnPipeForwardEnd(0, 1);
    EXPECT_EQ(calibration.Current(), before);
    EXPECT_THAT(desktop.posts, IsEmpty());
    ExpectForwardingEnded();
    handlers.OnPipeForwardStart(0, 0);
    handlers.OnPipeForwardEnd(1, 0);
    EXPECT_EQ(calibration.Current(), before);
    ExpectForwardingEnded();
}

TEST_F(ProtocolHandlersTest, SetUseKeyAnswersOnlyToWParamOne)
{
    handlers.OnSetUseKey(0, 1);
    EXPECT_EQ(state.boardKeysEnabled, 0);
    EXPECT_EQ(calibration.GetUseKey(), 0);
    handlers.OnSetUseKey(1, 1);
    EXPECT_EQ(state.boardKeysEnabled, 1);
    EXPECT_EQ(calibration.GetUseKey(), 1);
    handlers.OnSetUseKey(1, 0);
    EXPECT_EQ(state.boardKeysEnabled, 0);
    EXPECT_EQ(calibration.GetUseKey(), 0);
    EXPECT_TRUE(settings.Text().find("USE_KEY") == std::string::npos) << "nothing is written";
}

TEST_F(ProtocolHandlersTest, PenButtonReloadTakesAMissingSwitchAsOff)
{
    settings.WriteString("PENVARO", "BOX1LASTCHOOSE", "0");
    handlers.OnPenButtonsChanged();
    EXPECT_EQ(penButtons.ifSetFNoT, 0);
    EXPECT_EQ(penButtons.box1LastChoose, 0);
    EXPECT_EQ(penButtons.frontAction, 25);
    EXPECT_EQ(penButtons.backAction, 22);

    settings.WriteString("PENVARO", "IF_SET_F_NO_T", "1");
    handlers.OnPenButtonsChanged();
    EXPECT_EQ(penButtons.ifSetFNoT, 1);
    EXPECT_EQ(ReadPenButtonSettings(MemoryProfile(), actions).ifSetFNoT, 1) << "start-up keeps its default";
}

TEST_F(ProtocolHandlersTest, CameraOkNotifiesOnlyAfterTheConnectNotice)
{
    const WindowRef drawing = desktop.AddWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
    state.cameraKind = 2;
    handlers.OnCameraOk();
    EXPECT_THAT(desktop.posts, IsEmpty());

    state.connectNoticeSent = 1;
    handlers.OnCameraOk();
    state.cameraKind = 1;
    handlers.OnCameraOk();
    state.cameraKind = 0;
    handlers.OnCameraOk();
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{drawing, msg::kBoardEvent, 10, 2321},
                                           PostedMessage{drawing, msg::kBoardEvent, 0, 2321},
                                           PostedMessage{drawing, msg::kBoardEvent, 0, 2321}));
}

TEST_F(ProtocolHandlersTest, DriverSetTenDisarmsThePenClickOnlyWithOne)
{
    handlers.OnDriverSet(10, 0);
    EXPECT_EQ(state.penClickArmed, 1);
    handlers.OnDriverSet(10, 1);
    EXPECT_EQ(state.penClickArmed, 0);
}

TEST_F(ProtocolHandlersTest, SocketOpenCloseAndQuery)
{
    const WindowRef tool = desktop.AddWindow(wnd::kMainToolClass, "any caption");
    handlers.OnDriverSet(100, 0);

    handlers.OnDriverSet(30, 5);
    EXPECT_THAT(sockets.opened, IsEmpty());
    EXPECT_EQ(state.socketRouting, SocketRouting::Off);

    handlers.OnDriverSet(30, 7);
    EXPECT_THAT(sockets.opened, ElementsAre(std::make_pair(std::string("127.0.0.1"), 6171)));
    EXPECT_EQ(state.socketRouting, SocketRouting::HalfSplit);
    EXPECT_NE(socket.Current(), nullptr);
    handlers.OnDriverSet(100, 0);

    handlers.OnDriverSet(31, 5);
    EXPECT_EQ(state.socketRouting, SocketRouting::HalfSplit);
    handlers.OnDriverSet(31, 6);
    EXPECT_EQ(state.socketRouting, SocketRouting::Off);
    EXPECT_EQ(socket.Current(), nullptr);
    EXPECT_TRUE(sockets.channels[0].expired());
    handlers.OnDriverSet(100, 0);

    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{tool, msg::kBoardEvent, 1002, 0},
                                           PostedMessage{tool, msg::kBoardEvent, 1002, 1},
                                           PostedMessage{tool, msg::kBoardEvent, 1002, 0}));
}

TEST_F(ProtocolHandlersTest, SecondOpenReplacesTheFirstConnection)
{
    handlers.OnDriverSet(30, 6);
    EXPECT_EQ(state.socketRouting, SocketRouting::PairSplit);
    handlers.OnDriverSet(30, 7);
    EXPECT_EQ(state.socketRouting, SocketRouting::HalfSplit);
    ASSERT_EQ(sockets.channels.size(), 2u);
    EXPECT_TRUE(sockets.channels[0].expired());
    EXPECT_EQ(socket.Current(), sockets.channels[1].lock());
}

TEST_F(ProtocolHandlersTest, OpenWithoutAnySocketStillAnswersOn)
{
    const WindowRef tool = desktop.AddWindow(wnd::kMainToolClass, "");
    sockets.failOpen = true;
    handlers.OnDriverSet(30, 6);
    EXPECT_EQ(state.socketRouting, SocketRouting::PairSplit);
    EXPECT_EQ(socket.Current(), nullptr);
    handlers.OnDriverSet(100, 0);
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{tool, msg::kBoardEvent, 1002, 1}));
}

TEST_F(ProtocolHandlersTest, CameraArrivalSwitchesTheSocketSideOff)
{
    const WindowRef tool = desktop.AddWindow(wnd::kMainToolClass, "");
    handlers.OnDriverSet(30, 6);
    CaptureDeviceWatch devices(desktop, state, faults);
    devices.OnArrival(cameranames::CaptureInterfaceName(cameranames::ModelVendor(5)));
    handlers.OnDriverSet(100, 0);
    EXPECT_EQ(desktop.posts.back(), (PostedMessage{tool, msg::kBoardEvent, 1002, 0}));
}

TEST_F(ProtocolHandlersTest, UnknownDriverSetCodesDoNothing)
{
    desktop.AddWindow(wnd::kMainToolClass, "");
    for (std::uintptr_t code : {0u, 11u, 32u, 99u, 101u}) handlers.OnDriverSet(code, 6);
    EXPECT_THAT(desktop.posts, IsEmpty());
    EXPECT_THAT(sockets.opened, IsEmpty());
    EXPECT_EQ(state.penClickArmed, 1);
}

} // namespace
} // namespace driver

namespace driver {
namespace {

// A projector switched on after logon: the calibration follows the new
// primary screen at once, without a box nobody at the board could close.
TEST_F(ProtocolHandlersTest, ADisplayChangeRebuildsTheGridForTheNewScreen)
{
    WriteGoodCalibration();
    handlers.OnPipeForwardEnd(0, 0);
    Point center{1600, 1200};
    ASSERT_TRUE(calibration.MapPoint(center));
    EXPECT_NEAR(center.x, 512, 1);

    desktop.screen = {1920, 1080};
    const auto before = calibration.Current();
    handlers.OnDisplayChange();
    EXPECT_NE(calibration.Current(), before) << "a new model, swapped in whole";
    Point moved{1600, 1200};
    ASSERT_TRUE(calibration.MapPoint(moved));
    EXPECT_NEAR(moved.x, 960, 1);
    EXPECT_NEAR(moved.y, 540, 1);
    EXPECT_EQ(calibration.Current()->ScreenWidth(), 1920);
    EXPECT_EQ(reloadFailures, 0);
    EXPECT_EQ(faults.Count("1920 x 1080"), 1u);
}

TEST_F(ProtocolHandlersTest, ADisplayChangeWithABrokenCalibrationIsLoggedNotShown)
{
    desktop.screen = {1280, 1024};
    handlers.OnDisplayChange();
    EXPECT_EQ(reloadFailures, 0) << "no box for a display change";
    EXPECT_EQ(faults.Count("could not be used as measured"), 1u);
    EXPECT_EQ(calibration.Current()->ScreenHeight(), 1024);
}

// The line's reason is the event's, so a query of the event log and the
// support log tell the same story.
TEST_F(ProtocolHandlersTest, AFailedLoadIsReportedForTheEventLogWithTheLinesReason)
{
    WriteGoodCalibration();
    handlers.OnDisplayChange();
    EXPECT_THAT(faults.events, IsEmpty()) << "a sound load is no news";
    settings.WriteString("coordinate", "wdot", "11");
    handlers.OnDisplayChange();
    ASSERT_EQ(faults.events.size(), 1u);
    const common::AdminEvent& event = faults.events[0];
    EXPECT_EQ(event.id, common::EventId::CalibrationUnusable);
    EXPECT_EQ(event.level, common::EventLevel::Error);
    ASSERT_EQ(event.inserts.size(), 1u);
    EXPECT_FALSE(event.inserts[0].empty());
    EXPECT_EQ(faults.Count("could not be used as measured: " + event.inserts[0] + "."), 1u);
}

} // namespace
} // namespace driver
