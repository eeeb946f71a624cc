// Board keys and pen buttons reach the drawing application as commands,
// resolved by the driver's counting timers, instead of becoming mouse presses.
#include "DriverRun.h"

#include "common/Messages.h"
#include "sim/LineLog.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace e2e {
namespace {

// Board key k of e2e-keys-WBInit.ini sits at camera x 170 + 220 k, y 1900
// (keys 1, 6 and 12 at y 2080).
std::string Touch(int key)
{
    const int x = 170 + 220 * key;
    const int y = (key == 1 || key == 6 || key == 12) ? 2080 : 1900;
    const std::string at = std::to_string(x) + " " + std::to_string(y);
    return "down " + at + "\nhold " + at + " 2\nup " + at + "\n";
}

// Board events (wParam, lParam) the drawing application got, in order.
std::vector<std::pair<unsigned long long, long long>> BoardEvents(const std::vector<sim::LoggedMessage>& messages)
{
    std::vector<std::pair<unsigned long long, long long>> events;
    for (const sim::LoggedMessage& message : messages) {
        if (message.message == msg::kBoardEvent) events.emplace_back(message.wParam, message.lParam);
    }
    return events;
}

class BoardKeys : public DriverRun {
protected:
    // The driver with board keys of e2e-keys-WBInit.ini switched on.
    void StartWithKeys()
    {
        ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{"e2e-keys-WBInit.ini", false, false}));
        PostToDriver(msg::kSetUseKey, 1, 1);
    }

    // Plays `script`, then waits until the drawing application has got
    // `count` board events in all, and returns them.
    std::vector<std::pair<unsigned long long, long long>> PlayAndWaitForEvents(const std::string& script,
                                                                               std::size_t count)
    {
        PlayScript(script);
        std::vector<std::pair<unsigned long long, long long>> events;
        sim::WaitUntil(
            [&] {
                SyncDrawingApp();
                events = BoardEvents(rig_.DrawingAppMessages());
                return events.size() >= count;
            },
            kWaitMs);
        return events;
    }
};

using Pair = std::pair<unsigned long long, long long>;

TEST_F(BoardKeys, CountedKeysTellOnePressFromSeveralAndNoKeyPressesTheMouse)
{
    ASSERT_NO_FATAL_FAILURE(StartWithKeys());

    // Board key 6 is counted key 3: once gives its code alone.
    auto events = PlayAndWaitForEvents(Touch(6), 1);
    EXPECT_EQ(events, (std::vector<Pair>{{19, 0}}));

    // Twice within the 500 ms period: the double-press code, then the code.
    events = PlayAndWaitForEvents(Touch(6) + Touch(6), 3);
    EXPECT_EQ(events, (std::vector<Pair>{{19, 0}, {275, 0}, {19, 0}}));

    // Three times is a count of three, reported like two.
    events = PlayAndWaitForEvents(Touch(6) + Touch(6) + Touch(6), 5);
    EXPECT_EQ(events, (std::vector<Pair>{{19, 0}, {275, 0}, {19, 0}, {275, 0}, {19, 0}}));

    // Two counted keys in one period come in key order; a posting key
    // (key 0) goes at once.
    events = PlayAndWaitForEvents(Touch(8) + Touch(5) + Touch(0), 8);
    EXPECT_EQ(std::vector<Pair>(events.begin() + 5, events.end()), (std::vector<Pair>{{25, 0}, {18, 0}, {21, 0}}));

    EXPECT_EQ(LeftPresses(InjectedEvents(rig_.MouseEvents())), 0u) << Describe(InjectedEvents(rig_.MouseEvents()));
}

TEST_F(BoardKeys, TheLastCountedKeyNeedsTheMainToolWindow)
{
    ASSERT_NO_FATAL_FAILURE(StartWithKeys());

    // Without the main tool window key 9 is swallowed; key 0 marks the end.
    auto events = PlayAndWaitForEvents(Touch(9) + Touch(0), 1);
    EXPECT_EQ(events, (std::vector<Pair>{{25, 0}}));

    ASSERT_TRUE(rig_.StartMainTool()) << rig_.Problem();
    events = PlayAndWaitForEvents(Touch(9) + Touch(9), 3);
    EXPECT_EQ(events, (std::vector<Pair>{{25, 0}, {266, 0}, {22, 0}}));
    EXPECT_EQ(LeftPresses(InjectedEvents(rig_.MouseEvents())), 0u);
}

// Camera point of board key k, as "x y".
std::string KeyAt(int key)
{
    const int y = (key == 1 || key == 6 || key == 12) ? 2080 : 1900;
    return std::to_string(170 + 220 * key) + " " + std::to_string(y);
}

TEST_F(BoardKeys, RightHalfKeysOfTheSocketVariantReportOneKeyAPeriodOnTheSocketSide)
{
    ASSERT_NO_FATAL_FAILURE(StartWithKeys());
    // Half split ("CvDriverSet" 30 with lParam 7): the right half of the screen belongs to the socket's
    // user, whose counted keys are reported with lParam 2. Keys 7 and 8
    // (counted keys 4 and 5) lie right of the middle.
    PostRegistered(msg::kRegisteredDriverSet, 30, 7);
    auto events = PlayAndWaitForEvents(Touch(7) + Touch(8), 1);
    EXPECT_EQ(events, (std::vector<Pair>{{20, 2}})) << "only the lower key of one period";
    events = PlayAndWaitForEvents(Touch(8) + Touch(8), 3);
    EXPECT_EQ(events, (std::vector<Pair>{{20, 2}, {277, 2}, {21, 2}}));
    // Left of the middle the half split counts on the local side.
    events = PlayAndWaitForEvents(Touch(4), 4);
    EXPECT_EQ(events.back(), (Pair{17, 0}));
}

TEST_F(BoardKeys, AKeyOfTheSecondPointerWaitsForTheFirstPointersRelease)
{
    ASSERT_NO_FATAL_FAILURE(StartWithKeys());
    // Pair split: the second pair of slots is a pointer of its own.
    PostRegistered(msg::kRegisteredDriverSet, 30, 6);
    const std::string first = "rec 1 " + KeyAt(1) + "\n";
    const std::string both = "rec 1 " + KeyAt(1) + " 0 0 0 1 " + KeyAt(0) + "\n";
    const std::string second = "rec 0 0 0 0 0 0 1 " + KeyAt(0) + "\n";
    // The first pointer presses key 1; while it holds it, the second
    // pointer's press on key 0 is swallowed.
    auto events = PlayAndWaitForEvents(
        first + first + both + both + both + "rec 2 " + KeyAt(1) + " 0 0 0 2 " + KeyAt(0) + "\n" + Touch(13), 2);
    EXPECT_EQ(events, (std::vector<Pair>{{32, 0}, {33, 0}}));
    // After the releases the second pointer's key posts again.
    events = PlayAndWaitForEvents(second + second + second + "rec 0 0 0 0 0 0 2 " + KeyAt(0) + "\n", 3);
    EXPECT_EQ(events, (std::vector<Pair>{{32, 0}, {33, 0}, {25, 0}}));
    EXPECT_EQ(LeftPresses(InjectedEvents(rig_.MouseEvents())), 0u);
}

TEST_F(BoardKeys, PenButtonsReportAndClickWhereThePenWas)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{"e2e-keys-WBInit.ini", false, false}));
    SetCursorPos(300, 200);

    // Without pen-button settings the driver starts with the plain
    // notifications: front once is wParam 1, completed by a double-click.
    ASSERT_NO_FATAL_FAILURE(PlayScript("event 8\nup 1600 1200\n"));
    ASSERT_TRUE(sim::WaitUntil([&] { return LeftPresses(InjectedEvents(rig_.MouseEvents())) >= 2; }, kWaitMs))
        << Describe(InjectedEvents(rig_.MouseEvents()));
    SyncDrawingApp();
    EXPECT_EQ(CountMessages(rig_.DrawingAppMessages(), msg::kPenButtonEvent, 1, 0), 1u);
    for (const sim::MouseEvent& event : InjectedEvents(rig_.MouseEvents())) {
        if (event.kind == sim::MouseKind::LeftDown) {
            EXPECT_TRUE(Near(event, 300, 200)) << event.x << "," << event.y;
        }
    }

    // The pen-button tool saves action choices and tells the driver, which
    // re-reads them: front once now posts choice 4's action code 17.
    WritePrivateProfileStringA("PENVARO", "IF_SET_F_NO_T", "0", rig_.File(sim::kSettingsFile).c_str());
    WritePrivateProfileStringA("PENVARO", "BOX1LASTCHOOSE", "4", rig_.File(sim::kSettingsFile).c_str());
    WritePrivateProfileStringA("PENVARO", "BOX2LASTCHOOSE", "6", rig_.File(sim::kSettingsFile).c_str());
    PostToDriver(msg::kPenButtonsChanged, 0, 0);
    ASSERT_NO_FATAL_FAILURE(PlayScript("event 8\nup 1600 1200\n"));
    ASSERT_TRUE(sim::WaitUntil(
        [&] {
            SyncDrawingApp();
            return CountMessages(rig_.DrawingAppMessages(), msg::kBoardEvent, 17, 100) == 1;
        },
        kWaitMs))
        << Log(sim::kDrawingAppLog);
    // No main tool window is in front, so the double-click follows.
    EXPECT_TRUE(sim::WaitUntil([&] { return LeftPresses(InjectedEvents(rig_.MouseEvents())) >= 4; }, kWaitMs))
        << Describe(InjectedEvents(rig_.MouseEvents()));

    // The rear button twice with no main tool window: command 33, no click.
    ASSERT_NO_FATAL_FAILURE(PlayScript("event 9\nup 1600 1200\nevent 9\nup 1600 1200\n"));
    ASSERT_TRUE(sim::WaitUntil(
        [&] {
            SyncDrawingApp();
            return CountMessages(rig_.DrawingAppMessages(), msg::kBoardEvent, 33, 0) == 1;
        },
        kWaitMs))
        << Log(sim::kDrawingAppLog);
    const auto messages = CloseAndCollectMessages();
    EXPECT_EQ(CountMessages(messages, msg::kBoardEvent, 22, 100), 0u) << "the rear action is not reported";
    std::size_t rightPresses = 0;
    for (const sim::MouseEvent& event : InjectedEvents(rig_.MouseEvents())) {
        rightPresses += event.kind == sim::MouseKind::RightDown;
    }
    EXPECT_EQ(rightPresses, 0u);
}

// The rear button's right click goes where the cursor is; clicked again and
// again it must not walk the cursor away, one pixel at a time.
TEST_F(BoardKeys, RearPenButtonClicksAtTheCursorWithoutMovingIt)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{"e2e-keys-WBInit.ini", false, false}));
    SetCursorPos(300, 200);
    constexpr std::size_t kClicks = 3;
    std::vector<sim::MouseEvent> rightPresses;
    for (std::size_t click = 1; click <= kClicks; ++click) {
        ASSERT_NO_FATAL_FAILURE(PlayScript("event 9\nup 1600 1200\n"));
        ASSERT_TRUE(sim::WaitUntil(
            [&] {
                rightPresses.clear();
                for (const sim::MouseEvent& event : InjectedEvents(rig_.MouseEvents())) {
                    if (event.kind == sim::MouseKind::RightDown) rightPresses.push_back(event);
                }
                return rightPresses.size() >= click;
            },
            kWaitMs))
            << Describe(InjectedEvents(rig_.MouseEvents()));
    }
    for (const sim::MouseEvent& press : rightPresses)
        EXPECT_EQ(std::make_pair(press.x, press.y), std::make_pair(300, 200));
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(std::make_pair(cursor.x, cursor.y), std::make_pair(300L, 200L));

    // And the board still works: a touch presses and releases where it lands.
    ASSERT_NO_FATAL_FAILURE(PlayScript("down 1600 1200\nhold 1600 1200 3\nup 1600 1200\n"));
    const auto events = WaitForEvents([](const std::vector<sim::MouseEvent>& all) {
        return std::any_of(all.begin(), all.end(),
                           [](const sim::MouseEvent& e) { return e.kind == sim::MouseKind::LeftUp; }) &&
               std::any_of(all.begin(), all.end(),
                           [](const sim::MouseEvent& e) { return e.kind == sim::MouseKind::LeftDown; });
    });
    const auto press = std::find_if(events.begin(), events.end(),
                                    [](const sim::MouseEvent& e) { return e.kind == sim::MouseKind::LeftDown; });
    ASSERT_NE(press, events.end()) << Describe(events);
    EXPECT_TRUE(Near(*press, ScreenX(1600), ScreenY(1200))) << Describe(events);
}

} // namespace
} // namespace e2e
