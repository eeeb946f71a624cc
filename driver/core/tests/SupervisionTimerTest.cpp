// The counting timers' ticks: counted board keys on both sides, pen-button
// reports and the clicks that complete them.
#include "CalibrationMemoryProfile.h"
#include "DriverFakes.h"
#include "TestInput.h"

#include "common/Messages.h"
#include "driver/BoardKeys.h"
#include "driver/SupervisionTimer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace driver {
namespace {

using testing::Ax;
using testing::Ay;
using ::testing::ElementsAre;
using testing::FakeCalibration;
using testing::FakeDesktop;
using ::testing::IsEmpty;
using testing::kLeftDown;
using testing::kLeftUp;
using testing::kRightClick;
using testing::MouseEvent;
using testing::PostedMessage;
using testing::TimerStart;

// Counted key n (1..6) is board key n + 3; all sit on the left half at
// (60n, 50), and again on the right half at (600 + 60n, 50).
Point LeftPlace(int counted)
{
    return {60.0 * counted, 50};
}
Point RightPlace(int counted)
{
    return {600.0 + 60 * counted, 50};
}

class SupervisionTimerTest : public ::testing::Test {
protected:
    SupervisionTimerTest()
    {
        for (int counted = 1; counted <= kCountedBoardKeys; ++counted) {
            calibration.keys[static_cast<std::size_t>(counted + 3)] = LeftPlace(counted);
            calibration.keys[static_cast<std::size_t>(counted + 3 + kBoardKeyCount)] = RightPlace(counted);
        }
        // Keys without a place of their own lie far off the board.
        for (int key : {0, 1, 2, 3, 10, 11, 12, 13}) {
            calibration.keys[static_cast<std::size_t>(key)] = {-1000, -1000};
            calibration.keys[static_cast<std::size_t>(key + kBoardKeyCount)] = {-1000, -1000};
        }
        calibration.tolerance = 5;
        drawingApp = desktop.AddWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
        pens.ifSetFNoT = 0;
        pens.frontAction = 17;
        pens.backAction = 40;
    }

    // One contact on a key: the press and its release.
    void Tap(const Point& place)
    {
        ASSERT_TRUE(keys.TryBoardKey(place, calibration));
        state.actionArmed = 1;
        state.socketKeyArmed = 1;
    }
    void UseSocketHalves() { state.socketRouting = SocketRouting::HalfSplit; }
    void PenPresses(int front, int rear)
    {
        state.frontPenPresses = front;
        state.rearPenPresses = rear;
        state.savedCursor.Store({300, 200});
    }
    // The report's tick, then the click's.
    void ReportAndClick()
    {
        timer.OnTick(kTimerPenAndBoardKeys);
        timer.OnTick(kTimerSupervision);
    }
    PostedMessage Board(std::uintptr_t code, std::intptr_t side = 0) const
    {
        return {drawingApp, msg::kBoardEvent, code, side};
    }
    PostedMessage Pen(std::uintptr_t code) const { return {drawingApp, msg::kPenButtonEvent, code, 0}; }
    std::vector<MouseEvent> DoubleClickAtSaved() const
    {
        const MouseEvent down{kLeftDown, Ax(300), Ay(200)};
        const MouseEvent up{kLeftUp, Ax(300), Ay(200)};
        return {down, up, down, up};
    }

    FakeDesktop desktop;
    DriverState state;
    FakeCalibration calibration;
    calibration_testing::MemoryProfile settings;
    NoFaultLog faults;
    BoardKeys keys{desktop, state, settings, faults};
    PenButtonSettings pens;
    SupervisionTimer timer{desktop, state, pens};
    WindowRef drawingApp = 0;
};

// --- counted keys --------------------------------------------------------

TEST_F(SupervisionTimerTest, EachCountedKeyHasItsOwnCodesAndTheLastDoublesAs266)
{
    desktop.AddWindow(wnd::kMainToolClass, "");
    const std::uintptr_t single[] = {17, 18, 19, 20, 21, 22};
    const std::uintptr_t twice[] = {273, 274, 275, 276, 277, 266};
    for (int counted = 1; counted <= kCountedBoardKeys; ++counted) {
        desktop.posts.clear();
        Tap(LeftPlace(counted));
        timer.OnTick(kTimerPenAndBoardKeys);
        EXPECT_THAT(desktop.posts, ElementsAre(Board(single[counted - 1]))) << "key " << counted;
        desktop.posts.clear();
        Tap(LeftPlace(counted));
        Tap(LeftPlace(counted));
        timer.OnTick(kTimerPenAndBoardKeys);
        EXPECT_THAT(desktop.posts, ElementsAre(Board(twice[counted - 1]), Board(single[counted - 1])))
            << "key " << counted;
    }
}

TEST_F(SupervisionTimerTest, ThreePressesInOnePeriodAreOneMultiPress)
{
    Tap(LeftPlace(1));
    Tap(LeftPlace(1));
    Tap(LeftPlace(1));
    EXPECT_EQ(state.boardKeyPressesA[0], 3);
    EXPECT_THAT(desktop.timers, ElementsAre(TimerStart{67, 500}));
    timer.OnTick(kTimerPenAndBoardKeys);
    EXPECT_THAT(desktop.posts, ElementsAre(Board(273), Board(17)));
    EXPECT_EQ(state.boardKeyPressesA[0], 0);
    // Nothing left over for the next tick.
    desktop.posts.clear();
    timer.OnTick(kTimerPenAndBoardKeys);
    EXPECT_THAT(desktop.posts, IsEmpty());
}

TEST_F(SupervisionTimerTest, LocalKeysOfOnePeriodAreAllReportedInKeyOrder)
{
    Tap(LeftPlace(5));
    Tap(LeftPlace(2));
    Tap(LeftPlace(5));
    timer.OnTick(kTimerPenAndBoardKeys);
    EXPECT_THAT(desktop.posts, ElementsAre(Board(18), Board(277), Board(21)));
}

TEST_F(SupervisionTimerTest, SocketSideReportsOnlyTheLowestKeyOfAPeriod)
{
    UseSocketHalves();
    Tap(RightPlace(4));
    Tap(RightPlace(2));
    Tap(RightPlace(2));
    // Each key's first press restarts the period.
    EXPECT_THAT(desktop.timers, ElementsAre(TimerStart{68, 500}, TimerStart{68, 500}));
    EXPECT_TRUE(timer.OnTick(kTimerSocketBoardKeys));
    EXPECT_THAT(desktop.posts, ElementsAre(Board(274, 2), Board(18, 2)));
    for (const auto& counter : state.boardKeyPressesB) EXPECT_EQ(counter, 0);
    EXPECT_THAT(desktop.kills, ElementsAre(68u));
}

TEST_F(SupervisionTimerTest, SidesAreResolvedByTheirOwnTimers)
{
    UseSocketHalves();
    Tap(LeftPlace(1));
    Tap(RightPlace(1));
    timer.OnTick(kTimerSocketBoardKeys);
    EXPECT_THAT(desktop.posts, ElementsAre(Board(17, 2)));
    timer.OnTick(kTimerPenAndBoardKeys);
    EXPECT_THAT(desktop.posts, ElementsAre(Board(17, 2), Board(17)));
}

// The worker may count a first press while the tick runs; that press must
// be reported by this tick or leave a running timer behind, never a count
// that no timer will ever resolve.
TEST_F(SupervisionTimerTest, PressCountedWhileTheTickKillsItsTimerIsNotStranded)
{
    Tap(LeftPlace(1));
    desktop.onKill = [this](unsigned) {
        desktop.onKill = nullptr;
        Tap(LeftPlace(2));
    };
    timer.OnTick(kTimerPenAndBoardKeys);
    EXPECT_THAT(desktop.posts, ElementsAre(Board(17), Board(18)));
    EXPECT_EQ(state.boardKeyPressesA[1], 0);
}

TEST_F(SupervisionTimerTest, OtherTimersAreLeftToTheCaller)
{
    EXPECT_FALSE(timer.OnTick(kTimerHideDialog));
    EXPECT_FALSE(timer.OnTick(kTimerHookRefresh));
    EXPECT_THAT(desktop.kills, IsEmpty());
}

// --- pen buttons: reports ------------------------------------------------

TEST_F(SupervisionTimerTest, PenPressesAreReportedByActionOrByNotification)
{
    struct Case {
        int ifSetFNoT, front, rear;
        std::vector<PostedMessage> expected;
    };
    desktop.AddWindow(wnd::kMainToolClass, "");
    const std::vector<Case> cases = {
        {0, 1, 0, {Board(17, 100)}}, {0, 2, 0, {Board(17, 100)}}, {0, 0, 1, {Board(40, 100)}},
        {0, 0, 3, {Board(40, 100)}}, {1, 1, 0, {Pen(1)}},         {1, 5, 0, {Pen(2)}},
        {1, 0, 1, {Pen(3)}},         {1, 0, 2, {Pen(4)}},         {1, 1, 1, {Pen(1), Pen(3)}},
    };
    for (const Case& c : cases) {
        desktop.posts.clear();
        desktop.timers.clear();
        pens.ifSetFNoT = c.ifSetFNoT;
        PenPresses(c.front, c.rear);
        timer.OnTick(kTimerPenAndBoardKeys);
        EXPECT_EQ(desktop.posts, c.expected) << c.ifSetFNoT << " " << c.front << " " << c.rear;
        EXPECT_EQ(desktop.timers.front(), (TimerStart{114, 80}));
        // Taken by the report: a press from now on starts a period of its own.
        EXPECT_EQ(state.frontPenPresses, 0);
        EXPECT_EQ(state.rearPenPresses, 0);
        timer.OnTick(kTimerSupervision);
    }
}

TEST_F(SupervisionTimerTest, RearDoubleWithoutMainToolWindowIsTheToolCommandAndNoClick)
{
    PenPresses(0, 2);
    timer.OnTick(kTimerPenAndBoardKeys);
    EXPECT_THAT(desktop.posts, ElementsAre(Board(33)));
    EXPECT_THAT(desktop.timers, IsEmpty());
    EXPECT_EQ(state.rearPenPresses, 0);
}

// --- pen buttons: clicks -------------------------------------------------

TEST_F(SupervisionTimerTest, FrontSingleIsCompletedByADoubleClickAtThePressPosition)
{
    PenPresses(1, 0);
    timer.OnTick(kTimerPenAndBoardKeys);
    EXPECT_THAT(desktop.posts, ElementsAre(Board(17, 100)));
    EXPECT_TRUE(timer.OnTick(kTimerSupervision));
    EXPECT_EQ(desktop.mouseEvents, DoubleClickAtSaved());
    EXPECT_THAT(desktop.kills, ElementsAre(67u, 114u));
    EXPECT_EQ(state.frontPenPresses, 0);
    EXPECT_EQ(state.rearPenPresses, 0);
}

TEST_F(SupervisionTimerTest, FrontClickHappensForOneAndThreeButNotTwoPresses)
{
    for (int presses : {2, 3}) {
        desktop.mouseEvents.clear();
        PenPresses(presses, 0);
        ReportAndClick();
        if (presses == 2) {
            EXPECT_THAT(desktop.mouseEvents, IsEmpty());
        } else {
            EXPECT_EQ(desktop.mouseEvents, DoubleClickAtSaved());
        }
    }
}

TEST_F(SupervisionTimerTest, FrontClickGivesWayToTheMainToolWindowInFrontUnlessNotifying)
{
    const WindowRef mainTool = desktop.AddWindow(wnd::kMainToolClass, "");
    desktop.foreground = mainTool;
    PenPresses(1, 0);
    ReportAndClick();
    EXPECT_THAT(desktop.mouseEvents, IsEmpty());

    pens.ifSetFNoT = 1;
    PenPresses(1, 0);
    ReportAndClick();
    EXPECT_EQ(desktop.mouseEvents, DoubleClickAtSaved());
}

TEST_F(SupervisionTimerTest, NoWindowInFrontIsNotTheMissingMainToolWindow)
{
    desktop.foreground = 0;
    PenPresses(1, 1);
    ReportAndClick();
    std::vector<MouseEvent> expected = DoubleClickAtSaved();
    expected.push_back({kRightClick, Ax(300), Ay(200)});
    EXPECT_EQ(desktop.mouseEvents, expected);
}

TEST_F(SupervisionTimerTest, RearSingleWaitsThenRightClicksUnlessAToolWindowIsInFront)
{
    desktop.AddWindow("wb_other", "");
    desktop.foreground = desktop.AddWindow("wb_other", "");
    PenPresses(0, 1);
    ReportAndClick();
    EXPECT_THAT(desktop.sleeps, ElementsAre(500u));
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(MouseEvent{kRightClick, Ax(300), Ay(200)}));
    EXPECT_THAT(desktop.cursorSets, ElementsAre(ScreenPosition{300, 200}));

    for (const char* toolClass : {"TMainToolfrm", "wb_lamu", "wb_spotlight", "ThunderRT6FormDC"}) {
        desktop.mouseEvents.clear();
        desktop.foreground = desktop.AddWindow(toolClass, "");
        PenPresses(0, 1);
        ReportAndClick();
        EXPECT_THAT(desktop.mouseEvents, IsEmpty()) << toolClass;
        EXPECT_EQ(state.rearPenPresses, 0);
    }
}

TEST_F(SupervisionTimerTest, NotifyingRearSingleClicksAtOnceWhateverIsInFront)
{
    pens.ifSetFNoT = 1;
    desktop.foreground = desktop.AddWindow("wb_lamu", "");
    PenPresses(0, 1);
    ReportAndClick();
    EXPECT_THAT(desktop.sleeps, IsEmpty());
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(MouseEvent{kRightClick, Ax(300), Ay(200)}));
}

TEST_F(SupervisionTimerTest, RearDoubleWithMainToolWindowIsReportedButNotClicked)
{
    desktop.AddWindow(wnd::kMainToolClass, "");
    PenPresses(0, 2);
    timer.OnTick(kTimerPenAndBoardKeys);
    EXPECT_THAT(desktop.posts, ElementsAre(Board(40, 100)));
    timer.OnTick(kTimerSupervision);
    EXPECT_THAT(desktop.mouseEvents, IsEmpty());
    EXPECT_EQ(state.rearPenPresses, 0);
}

TEST_F(SupervisionTimerTest, DisarmedClickSwallowsOnlyTheNextCompletion)
{
    state.penClickArmed = 0;
    PenPresses(1, 0);
    timer.OnTick(kTimerPenAndBoardKeys);
    EXPECT_THAT(desktop.posts, ElementsAre(Board(17, 100)));
    timer.OnTick(kTimerSupervision);
    EXPECT_THAT(desktop.mouseEvents, IsEmpty());
    EXPECT_EQ(state.penClickArmed, 1);
    EXPECT_EQ(state.frontPenPresses, 0);

    PenPresses(1, 0);
    timer.OnTick(kTimerPenAndBoardKeys);
    timer.OnTick(kTimerSupervision);
    EXPECT_EQ(desktop.mouseEvents, DoubleClickAtSaved());
}

} // namespace
} // namespace driver
