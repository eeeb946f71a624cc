// The board on a monitor other than the primary screen: beside it, left of it
// (negative coordinates), above it, of another size or scale; a monitor that
// goes away and comes back. What matters is where the system puts what the
// driver sends.
#include "CalibrationGridWriter.h"
#include "CalibrationMemoryProfile.h"
#include "DriverFakes.h"
#include "TestInput.h"
#include "WorkerFakes.h"

#include "common/Messages.h"
#include "driver/BoardMonitor.h"
#include "driver/MouseInput.h"
#include "driver/MultitouchOutputs.h"
#include "driver/ProtocolHandlers.h"
#include "driver/SupervisionTimer.h"
#include "driver/TouchWorker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace driver {
namespace {

using calibration_testing::MemoryProfile;
using common::DisplayLayout;
using common::MonitorInfo;
using common::PixelRect;
using testing::FakeDesktop;
using testing::MouseEvent;
using testing::RecordBuilder;

constexpr ScreenSize kPrimary{1024, 768};

MonitorInfo Monitor(const char* name, PixelRect rect, bool primary = false)
{
    return {name, rect, rect, primary};
}

// The primary screen and one more monitor, unscaled.
DisplayLayout WithSecond(PixelRect second)
{
    DisplayLayout layout;
    const PixelRect primary{0, 0, kPrimary.width, kPrimary.height};
    layout.monitors = {Monitor("\\\\.\\DISPLAY1", primary, true), Monitor("\\\\.\\DISPLAY2", second)};
    layout.virtualScreen = {std::min(0, second.left), std::min(0, second.top), std::max(primary.right, second.right),
                            std::max(primary.bottom, second.bottom)};
    layout.physicalVirtualScreen = layout.virtualScreen;
    return layout;
}

struct NamedLayout {
    const char* name;
    DisplayLayout layout;
};

std::vector<NamedLayout> SecondMonitors()
{
    return {{"right of the primary", WithSecond({1024, 0, 2304, 800})},
            {"left of the primary", WithSecond({-1920, -312, 0, 768})},
            {"above the primary", WithSecond({-128, -1050, 1552, 0})},
            {"a small one right and below", WithSecond({1024, 600, 1824, 1200})}};
}

// Where the system puts an absolute event: over the primary screen, or with
// the virtual-desk flag over the whole desktop (in physical pixels).
ScreenPosition Placed(const MouseEvent& event, const DisplayLayout& layout)
{
    if (event.flags & kVirtualDeskFlag) {
        const PixelRect& desktop = layout.physicalVirtualScreen;
        return {desktop.left + static_cast<int>(static_cast<std::int64_t>(event.ax) * desktop.Width() / 65536),
                desktop.top + static_cast<int>(static_cast<std::int64_t>(event.ay) * desktop.Height() / 65536)};
    }
    return {event.ax * kPrimary.width / 65536, event.ay * kPrimary.height / 65536};
}

TEST(BoardScreen, EveryEdgeAndCornerOfTheBoardLandsOnItsMonitor)
{
    for (const NamedLayout& named : SecondMonitors()) {
        const MonitorInfo& second = named.layout.monitors[1];
        const BoardScreen board = BoardScreen::OnMonitor(second, named.layout);
        const int w = board.Size().width;
        const int h = board.Size().height;
        FakeDesktop desktop;
        const MouseInput mouse(desktop, board, MouseInput::Reach::Board);
        for (const ScreenPosition corner :
             {ScreenPosition{0, 0}, ScreenPosition{w, 0}, ScreenPosition{0, h}, ScreenPosition{w, h},
              ScreenPosition{w / 2, 0}, ScreenPosition{0, h / 2}, ScreenPosition{w / 2, h}, ScreenPosition{w, h / 2},
              ScreenPosition{w - 1, h - 1}, ScreenPosition{w / 3, h / 7}}) {
            const ScreenPosition at = board.ToDesktop(corner);
            mouse.MouseMoveTo(at.x, at.y);
            const MouseEvent& event = desktop.mouseEvents.back();
            EXPECT_EQ(event.flags, testing::kMove | kVirtualDeskFlag);
            // The far edges are the monitor's last pixels, as on the primary screen.
            const ScreenPosition expected{std::min(at.x, second.rect.right - 1),
                                          std::min(at.y, second.rect.bottom - 1)};
            EXPECT_EQ(Placed(event, named.layout), expected) << named.name << " at " << corner.x << "," << corner.y;
            EXPECT_TRUE(second.rect.Contains(Placed(event, named.layout).x, Placed(event, named.layout).y));
        }
    }
}

TEST(BoardScreen, OnThePrimaryScreenTheEventsAreThoseOfTheDriverAlone)
{
    const BoardScreen board = BoardScreen::Primary(kPrimary, WithSecond({1024, 0, 2304, 800}));
    FakeDesktop desktop;
    const BoardScreen alone = BoardScreen::PrimaryOnly(kPrimary);
    MouseInput(desktop, board, MouseInput::Reach::Board).MouseLeftDownAt(512, 1000);
    MouseInput(desktop, alone, MouseInput::Reach::Board).MouseLeftDownAt(512, 1000);
    EXPECT_EQ(desktop.mouseEvents[0], desktop.mouseEvents[1]);
    EXPECT_EQ(desktop.mouseEvents[0], (MouseEvent{testing::kMoveLeftDown, testing::Ax(512), 65535}));
}

// A projector at a scale factor of 150 %: the driver, like the calibration
// program and the drawing application, counts 1280 x 800 pixels on it; the
// event must still reach the same spot of the picture.
TEST(BoardScreen, AMonitorWithAScaleOfItsOwnIsMetOnTheSpot)
{
    DisplayLayout layout = WithSecond({1024, 0, 2304, 800});
    layout.monitors[1].physical = {1024, 0, 2944, 1200};
    layout.physicalVirtualScreen = {0, 0, 2944, 1200};
    const BoardScreen board = BoardScreen::OnMonitor(layout.monitors[1], layout);
    FakeDesktop desktop;
    const MouseInput mouse(desktop, board, MouseInput::Reach::Board);
    mouse.MouseMoveTo(1024 + 640, 400);
    EXPECT_EQ(Placed(desktop.mouseEvents.back(), layout), (ScreenPosition{1024 + 960, 600}));
    mouse.MouseMoveTo(1024, 0);
    EXPECT_EQ(Placed(desktop.mouseEvents.back(), layout), (ScreenPosition{1024, 0}));
}

// The calibration file holds camera points only, so a calibration made with
// the projector as the primary screen maps the same on it as a second
// monitor of the same resolution, offset by its place on the desktop.
TEST(BoardScreen, ACalibrationMadeOnThePrimaryHoldsOnASecondMonitorOfTheSameSize)
{
    MemoryProfile settings;
    calibration_testing::WriteGrid(settings, 4, 3, [](int i, int j) {
        return Point{300.0 + 850 * i + 20 * j, 250.0 + 930 * j - 15 * i};
    });
    calibration_testing::WriteKeyPoint(settings, 0, {900, 1300});
    const DisplayLayout layout = WithSecond({-1280, 0, 0, 800});
    CCalibration onPrimary, onSecond;
    ASSERT_TRUE(onPrimary.Load(settings, BoardScreen::PrimaryOnly({1280, 800})));
    ASSERT_TRUE(onSecond.Load(settings, BoardScreen::OnMonitor(layout.monitors[1], layout)));
    for (const Point camera :
         {Point{400, 300}, Point{1600, 1200}, Point{2900, 2150}, Point{3199, 10}, Point{5, 2399}}) {
        Point a = camera, b = camera;
        EXPECT_EQ(onPrimary.MapPoint(a), onSecond.MapPoint(b));
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
    }
    EXPECT_EQ(onPrimary.KeyPoint(0).x, onSecond.KeyPoint(0).x);
    EXPECT_EQ(onPrimary.KeyTolerance(), onSecond.KeyTolerance());
    EXPECT_EQ(onSecond.Board().ToDesktop({100, 50}), (ScreenPosition{-1180, 50}));
}

class RecordingInjection final : public TouchInjection {
public:
    std::vector<TouchFrame> frames;
    bool Inject(const TouchFrame& frame) override
    {
        frames.push_back(frame);
        return true;
    }
};

// The whole pipeline with the board left of the primary screen: mouse, touch
// socket and touch injection all land on that monitor; nothing on the
// primary screen.
class BoardLeftOfThePrimary : public ::testing::Test, protected testing::WorkerFakes {
protected:
    BoardLeftOfThePrimary()
    {
        calibration_testing::WriteRegularGrid(settings, 3, 3, 48, 36, 3152, 2364);
        store.Reload(settings, BoardScreen::OnMonitor(layout.monitors[1], layout));
    }

    TouchWorkerDeps Deps(ContactOutputs outputs = {})
    {
        TouchWorkerDeps deps = WorkerFakes::Deps(outputs);
        deps.calibration = [this] { return store.Current(); };
        return deps;
    }

    // A contact at the board's camera centre, held, then lifted.
    void Touch(TouchWorker& worker, int slot)
    {
        for (int sample = 0; sample < 4; ++sample) {
            worker.Cycle(RecordBuilder().Contact(slot, 1600, 1200).Bytes());
            desktop.now += 8;
        }
        worker.Cycle(RecordBuilder().Release(slot).Bytes());
    }

    // The camera centre is the monitor's centre, 640 x 400 of its 1280 x 800
    // (a hair less as the transform computes it).
    ScreenPosition CentreOnTheDesktop() const
    {
        Point centre{1600, 1200};
        store.MapPoint(centre);
        return {-1280 + static_cast<int>(centre.x), -100 + static_cast<int>(centre.y)};
    }

    const DisplayLayout layout = WithSecond({-1280, -100, 0, 700});
    MemoryProfile settings;
    CalibrationStore store;
};

TEST_F(BoardLeftOfThePrimary, MouseAndTouchSocketLandOnThatMonitor)
{
    TouchWorker worker(Deps());
    worker.Begin();
    Touch(worker, 0);
    ASSERT_EQ(desktop.mouseEvents.size(), 4u); // press, two moves, release
    for (const MouseEvent& event : desktop.mouseEvents) {
        EXPECT_TRUE(event.flags & kVirtualDeskFlag);
        EXPECT_EQ(Placed(event, layout), CentreOnTheDesktop());
    }

    // Packets carry desktop pixels; left of the primary screen x is negative,
    // in the low 16 bits: 0xFD80 is -640.
    auto channel = std::make_shared<testing::RecordingChannel>();
    socket.Publish(channel);
    state.socketRouting = SocketRouting::PairSplit;
    Touch(worker, 2);
    ASSERT_FALSE(channel->writes.empty());
    const std::vector<std::uint8_t>& first = channel->writes.front();
    EXPECT_EQ(static_cast<std::int16_t>(first[3] << 8 | first[4]), CentreOnTheDesktop().x);
    EXPECT_EQ(static_cast<std::int16_t>(first[5] << 8 | first[6]), CentreOnTheDesktop().y);
    EXPECT_EQ(first[3], 0xFD);
}

TEST_F(BoardLeftOfThePrimary, TouchFramesCarryDesktopPixelsAndTuioFractionsOfTheMonitor)
{
    RecordingInjection injection;
    TouchOutput touch(injection, faults);
    testing::RecordingChannel tuioChannel;
    TuioOutput tuio(tuioChannel, "Brelvin@127.0.0.1", "127.0.0.1:3333", faults);
    TouchWorker worker(Deps(ContactOutputs{&tuio, &touch}));
    worker.Begin();
    Touch(worker, 0);
    ASSERT_FALSE(injection.frames.empty());
    const TouchContact& down = injection.frames.front().contacts[0];
    EXPECT_EQ(down.flags, kTouchDownFlags);
    EXPECT_EQ((ScreenPosition{down.x, down.y}), CentreOnTheDesktop());
    EXPECT_EQ(down.area.left, CentreOnTheDesktop().x - TouchFrameBuilder::kAreaReach);
    EXPECT_TRUE(desktop.mouseEvents.empty());

    // TUIO counts in fractions of the monitor: the same bundles as with the
    // board on a primary screen of that size.
    WorkerFakes alone;
    CalibrationStore primaryStore;
    primaryStore.Reload(settings, BoardScreen::PrimaryOnly({1280, 800}));
    testing::RecordingChannel primaryChannel;
    TuioOutput primaryTuio(primaryChannel, "Brelvin@127.0.0.1", "127.0.0.1:3333", faults);
    TouchWorkerDeps deps = alone.Deps(ContactOutputs{&primaryTuio, nullptr});
    deps.calibration = [&] { return primaryStore.Current(); };
    TouchWorker onPrimary(deps);
    onPrimary.Begin();
    for (int sample = 0; sample < 4; ++sample) {
        onPrimary.Cycle(RecordBuilder().Contact(0, 1600, 1200).Bytes());
        alone.desktop.now += 8;
    }
    onPrimary.Cycle(RecordBuilder().Release(0).Bytes());
    EXPECT_EQ(tuioChannel.writes, primaryChannel.writes);
}

// The pen buttons click where the cursor is, on whichever monitor.
TEST(BoardScreen, PenButtonClicksReachTheCursorOnAnyMonitor)
{
    FakeDesktop desktop;
    desktop.layout = WithSecond({-1280, 0, 0, 1024});
    DriverState state;
    PenButtonSettings penButtons;
    SupervisionTimer timer(desktop, state, penButtons);
    for (const ScreenPosition cursor : {ScreenPosition{-500, 300}, ScreenPosition{700, 400}}) {
        state.savedCursor.Store(cursor);
        state.rearPenPresses = 1;
        timer.OnTick(kTimerPenAndBoardKeys);
        timer.OnTick(kTimerSupervision);
        ASSERT_FALSE(desktop.mouseEvents.empty());
        EXPECT_EQ(Placed(desktop.mouseEvents.back(), *desktop.layout), cursor);
    }
    // On the primary screen the numbers are those of a desktop of one screen.
    EXPECT_EQ(desktop.mouseEvents.back(), (MouseEvent{testing::kRightClick, testing::Ax(700), testing::Ay(400)}));
}

// The driver's protocol with its board's monitor, over a fake desktop of one
// screen unless a test gives it another layout.
class BoardMonitorTest : public ::testing::Test {
protected:
    void SetUp() override { calibration_testing::WriteRegularGrid(settings, 3, 3, 48, 36, 3152, 2364); }

    FakeDesktop desktop;
    DriverState state;
    CalibrationStore calibration;
    MemoryProfile settings;
    ChannelSlot socket, pipe;
    testing::FakeSocketFactory sockets;
    testing::FakePipeHost pipes;
    PenButtonSettings penButtons;
    ActionMap actions;
    testing::RecordingFaultLog faults;
    common::PolicyValues policies;
    BoardMonitor monitor{desktop, settings, settings, policies, faults};
    ProtocolHandlers handlers{{desktop, state, calibration, settings, socket, pipe, sockets, pipes, penButtons, actions,
                               nullptr, faults, &monitor}};
};

// With the default setting the board is placed as it always was: at start-up,
// the display-change message and the end of a calibration run, never by the
// look at the desktop that serves a monitor beside the primary screen.
TEST_F(BoardMonitorTest, ABoardOnThePrimaryScreenIsPlacedOnlyWhenTheDisplayChangeIsAnnounced)
{
    handlers.OnDisplayChange();
    ASSERT_EQ(calibration.Current()->ScreenWidth(), 1024);

    desktop.screen = {1280, 800};
    handlers.OnDesktopCheck();
    EXPECT_EQ(calibration.Current()->ScreenWidth(), 1024);
    EXPECT_EQ(faults.Count("The display changed"), 1u);

    handlers.OnDisplayChange();
    EXPECT_EQ(calibration.Current()->ScreenWidth(), 1280);
}

// A projector unplugged and plugged in again while the driver runs.
TEST_F(BoardMonitorTest, AMonitorThatGoesAwayAndComesBackTakesTheBoardWithIt)
{
    const DisplayLayout two = WithSecond({1024, 0, 2304, 800});
    desktop.layout = two;
    settings.WriteString("Display", "MONITOR", "secondary");

    handlers.OnDisplayChange();
    EXPECT_EQ(calibration.Current()->Board().Rect(), two.monitors[1].rect);
    EXPECT_EQ(calibration.Current()->ScreenWidth(), 1280);

    desktop.layout = common::SingleMonitorLayout(1024, 768);
    handlers.OnDesktopCheck();
    EXPECT_TRUE(calibration.Current()->Board().IsPrimary());
    EXPECT_EQ(calibration.Current()->ScreenWidth(), 1024);
    EXPECT_EQ(faults.Count("on the primary screen"), 1u);
    const auto fallenBack = calibration.Current();
    handlers.OnDesktopCheck();
    handlers.OnDisplayChange();
    EXPECT_EQ(faults.Count("on the primary screen"), 1u) << "one line, not one per load";
    handlers.OnDesktopCheck();

    // The board still works on the primary screen meanwhile.
    testing::FakeBoardKeys keys;
    testing::FakeHook hook;
    testing::RecordingFaultLog workerFaults;
    TouchWorker worker({desktop, hook, state, [&] { return calibration.Current(); }, keys, socket, pipe, workerFaults});
    worker.Begin();
    worker.Cycle(RecordBuilder().Contact(0, 1600, 1200).Bytes());
    worker.Cycle(RecordBuilder().Contact(0, 1600, 1200).Bytes());
    worker.Cycle(RecordBuilder().Release(0).Bytes());
    ASSERT_EQ(desktop.mouseEvents.size(), 2u);
    EXPECT_EQ(desktop.mouseEvents[0].flags, testing::kMoveLeftDown);
    const ScreenPosition press = Placed(desktop.mouseEvents[0], two);
    EXPECT_NEAR(press.x, 512, 1);
    EXPECT_NEAR(press.y, 384, 1);
    EXPECT_EQ(desktop.mouseEvents[1].flags, testing::kLeftUp);

    desktop.layout = two;
    handlers.OnDesktopCheck();
    EXPECT_EQ(calibration.Current()->Board().Rect(), two.monitors[1].rect);
    EXPECT_EQ(faults.Count("the board is on monitor \\\\.\\DISPLAY2"), 2u);
}

// A policy's monitor wins over the file's as soon as the policies are read
// again, a bad one as much as a good one (it is named and the primary
// screen stands in, not the file's choice), and without a policy the file
// decides again.
TEST_F(BoardMonitorTest, APolicysMonitorWinsOverTheFilesWhenThePoliciesChange)
{
    const DisplayLayout two = WithSecond({1024, 0, 2304, 800});
    desktop.layout = two;
    settings.WriteString("Display", "MONITOR", "secondary");
    handlers.OnDisplayChange();
    ASSERT_EQ(calibration.Current()->Board().Rect(), two.monitors[1].rect);

    policies.Set(common::options::kMonitor, "Primary");
    handlers.OnPoliciesChange();
    EXPECT_TRUE(calibration.Current()->Board().IsPrimary());
    EXPECT_EQ(calibration.Current()->ScreenWidth(), 1024);

    policies.Set(common::options::kMonitor, "\\\\.\\display2");
    handlers.OnPoliciesChange();
    EXPECT_EQ(calibration.Current()->Board().Rect(), two.monitors[1].rect);

    policies.Set(common::options::kMonitor, "projector");
    handlers.OnPoliciesChange();
    EXPECT_TRUE(calibration.Current()->Board().IsPrimary());
    EXPECT_EQ(faults.Count("[Display] MONITOR=projector: no monitor goes by that name; the board is on the primary"), 1u);

    handlers.OnPoliciesChange();
    EXPECT_EQ(faults.Count("MONITOR=projector"), 1u) << "one line, not one per reading";
    policies = common::PolicyValues();
    handlers.OnPoliciesChange();
    EXPECT_EQ(calibration.Current()->Board().Rect(), two.monitors[1].rect);
}

} // namespace
} // namespace driver
