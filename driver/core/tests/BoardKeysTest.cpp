// Presses on the board keys: which key a point hits, the one-shot
// permissions, the two counting sides and the calibration key.
#include "CalibrationMemoryProfile.h"
#include "DriverFakes.h"

#include "common/Messages.h"
#include "driver/BoardKeys.h"
#include "driver/GestureMachines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace driver {
namespace {

using ::testing::ElementsAre;
using testing::FakeCalibration;
using testing::FakeDesktop;
using ::testing::IsEmpty;
using ::testing::Pair;
using testing::PostedMessage;
using testing::RecordBuilder;
using testing::RecordingChannel;
using testing::RecordingFaultLog;
using testing::TimerStart;

// Key k sits at (40 + 70k, 40) and again at (40 + 70k, 700).
Point FirstPlace(int key)
{
    return {40.0 + 70 * key, 40};
}
Point SecondPlace(int key)
{
    return {40.0 + 70 * key, 700};
}

class BoardKeysTest : public ::testing::Test {
protected:
    BoardKeysTest()
    {
        for (int k = 0; k < kBoardKeyCount; ++k) {
            calibration.keys[static_cast<std::size_t>(k)] = FirstPlace(k);
            calibration.keys[static_cast<std::size_t>(k + kBoardKeyCount)] = SecondPlace(k);
        }
        calibration.tolerance = 10;
        drawingApp = desktop.AddWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
    }

    bool Press(const Point& point) { return keys.TryBoardKey(point, calibration); }
    bool PressKey(int key) { return Press(FirstPlace(key)); }
    void Release() { state.actionArmed = 1; }
    PostedMessage Command(std::uintptr_t code) const { return {drawingApp, msg::kBoardEvent, code, 0}; }

    FakeDesktop desktop;
    DriverState state;
    FakeCalibration calibration;
    calibration_testing::MemoryProfile settings;
    RecordingFaultLog faults;
    BoardKeys keys{desktop, state, settings, faults};
    WindowRef drawingApp = 0;
};

TEST_F(BoardKeysTest, EachPostingKeySendsItsCodeFromEitherPlace)
{
    const std::pair<int, std::uintptr_t> posting[] = {{0, 25}, {1, 32}, {2, 23}, {3, 24}, {10, 48}, {11, 49}, {13, 33}};
    for (const auto& [key, code] : posting) {
        for (const Point& place : {FirstPlace(key), SecondPlace(key)}) {
            desktop.posts.clear();
            EXPECT_TRUE(Press(place)) << "key " << key;
            EXPECT_THAT(desktop.posts, ElementsAre(Command(code))) << "key " << key;
            EXPECT_EQ(state.actionArmed, 0);
            Release();
        }
    }
    EXPECT_THAT(desktop.timers, IsEmpty());
}

TEST_F(BoardKeysTest, ToleranceIsInclusiveOnBothAxes)
{
    const Point key = FirstPlace(0);
    EXPECT_EQ(BoardKeyAt({key.x + 10, key.y - 10}, calibration), 0);
    EXPECT_EQ(BoardKeyAt({key.x - 10, key.y + 10}, calibration), 0);
    EXPECT_EQ(BoardKeyAt({key.x + 10.5, key.y}, calibration), -1);
    EXPECT_EQ(BoardKeyAt({key.x, key.y - 10.5}, calibration), -1);
    EXPECT_FALSE(Press({key.x, key.y + 11}));
    EXPECT_THAT(desktop.posts, IsEmpty());
    EXPECT_EQ(state.actionArmed, 1);
}

TEST_F(BoardKeysTest, OverlappingKeysActAsTheLowerKey)
{
    calibration.keys[4] = {FirstPlace(3).x + 15, FirstPlace(3).y};
    EXPECT_TRUE(Press({FirstPlace(3).x + 8, FirstPlace(3).y}));
    EXPECT_THAT(desktop.posts, ElementsAre(Command(24)));
    EXPECT_THAT(desktop.timers, IsEmpty());
}

TEST_F(BoardKeysTest, MissingKeyEntriesHitOnlyTheExactPoint)
{
    calibration.keys = {};
    calibration.tolerance = 0;
    EXPECT_EQ(BoardKeyAt({0, 0}, calibration), 0);
    EXPECT_EQ(BoardKeyAt({0.5, 0}, calibration), -1);
}

TEST_F(BoardKeysTest, KeyHitWhileDisarmedIsTakenButPostsNothingUntilARelease)
{
    EXPECT_TRUE(PressKey(0));
    EXPECT_TRUE(PressKey(0));
    EXPECT_TRUE(PressKey(1));
    EXPECT_THAT(desktop.posts, ElementsAre(Command(25)));
    Release();
    EXPECT_TRUE(PressKey(1));
    EXPECT_THAT(desktop.posts, ElementsAre(Command(25), Command(32)));
}

TEST_F(BoardKeysTest, MissingDrawingApplicationStillUsesUpThePermission)
{
    desktop.windows.clear();
    EXPECT_TRUE(PressKey(2));
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{0, msg::kBoardEvent, 23, 0}));
    EXPECT_EQ(state.actionArmed, 0);
}

// --- counted keys --------------------------------------------------------

TEST_F(BoardKeysTest, CountedKeysCountOncePerContactAndStartTheTimerOnce)
{
    desktop.AddWindow(wnd::kMainToolClass, "");
    for (int key = 4; key <= 9; ++key) {
        EXPECT_TRUE(PressKey(key));
        EXPECT_TRUE(PressKey(key)); // same contact
        Release();
        EXPECT_TRUE(PressKey(key));
        Release();
    }
    for (int counted = 0; counted < kCountedBoardKeys; ++counted) {
        EXPECT_EQ(state.boardKeyPressesA[counted], 2) << "counted key " << counted + 1;
        EXPECT_EQ(state.boardKeyPressesB[counted], 0);
    }
    EXPECT_THAT(desktop.posts, IsEmpty());
    // Once per key while its counter was 0; the window restarts the period.
    EXPECT_EQ(desktop.timers.size(), 6u);
    for (const TimerStart& timer : desktop.timers) EXPECT_EQ(timer, (TimerStart{67, 500}));
}

TEST_F(BoardKeysTest, LastCountedKeyWithoutMainToolWindowIsSwallowed)
{
    EXPECT_TRUE(PressKey(9));
    EXPECT_EQ(state.actionArmed, 0);
    EXPECT_EQ(state.boardKeyPressesA[5], 0);
    EXPECT_THAT(desktop.timers, IsEmpty());
    Release();
    desktop.AddWindow(wnd::kMainToolClass, "any title");
    EXPECT_TRUE(PressKey(9));
    EXPECT_EQ(state.boardKeyPressesA[5], 1);
}

TEST_F(BoardKeysTest, SocketSideStartsAfterTheMiddleOfTheScreen)
{
    state.socketRouting = SocketRouting::HalfSplit;
    calibration.tolerance = 1;
    calibration.keys[5] = {512, 400};
    EXPECT_TRUE(Press({512, 400}));
    EXPECT_EQ(state.boardKeyPressesA[1], 1);
    EXPECT_EQ(state.actionArmed, 0);
    EXPECT_TRUE(Press({513, 400}));
    EXPECT_EQ(state.boardKeyPressesB[1], 1);
    EXPECT_EQ(state.socketKeyArmed, 0);
    EXPECT_THAT(desktop.timers, ElementsAre(TimerStart{67, 500}, TimerStart{68, 500}));
}

TEST_F(BoardKeysTest, RightHalfCountsLocallyUnlessSocketVariantOneIsOn)
{
    const Point rightKey5{700, 40};
    calibration.keys[5] = rightKey5;
    state.socketRouting = SocketRouting::Off;
    EXPECT_TRUE(Press(rightKey5));
    Release();
    state.socketRouting = SocketRouting::PairSplit;
    EXPECT_TRUE(Press(rightKey5));
    EXPECT_EQ(state.boardKeyPressesA[1], 2);
    EXPECT_EQ(state.boardKeyPressesB[1], 0);
}

TEST_F(BoardKeysTest, SocketSideUsesItsOwnPermission)
{
    state.socketRouting = SocketRouting::HalfSplit;
    const Point rightKey6{800, 40};
    calibration.keys[6] = rightKey6;
    state.actionArmed = 0; // the local pointer holds a key
    EXPECT_TRUE(Press(rightKey6));
    EXPECT_TRUE(Press(rightKey6));
    EXPECT_EQ(state.boardKeyPressesB[2], 1);
    state.socketKeyArmed = 1;
    EXPECT_TRUE(Press(rightKey6));
    EXPECT_EQ(state.boardKeyPressesB[2], 2);
    EXPECT_THAT(desktop.timers, ElementsAre(TimerStart{68, 500}));
}

// --- calibration key -----------------------------------------------------

TEST_F(BoardKeysTest, CalibrationKeyAsksForOrientationAndStartsTheCalibrationProgramOnce)
{
    EXPECT_TRUE(PressKey(12));
    EXPECT_TRUE(Press(SecondPlace(12)));
    EXPECT_EQ(settings.ReadString("coordinate", "orient", ""), "1");
    EXPECT_THAT(desktop.programStarts, ElementsAre(Pair("C:\\Board\\", "Radozi.exe")));
    EXPECT_THAT(desktop.sleeps, ElementsAre(200u));
    EXPECT_THAT(desktop.posts, IsEmpty());
}

// Which program the key starts follows the program folder at each press
// and the preference it was given; neither program there is said, and the
// key still writes "orient" and pauses.
TEST_F(BoardKeysTest, CalibrationKeyStartsTheSuitesProgramWhereTheCameraSoftwaresIsMissingOrItIsPreferred)
{
    desktop.missingPrograms = {"Radozi.exe"};
    EXPECT_TRUE(PressKey(12));
    Release();
    desktop.missingPrograms = {"Radozi.exe", "Kalmeno.exe"};
    EXPECT_TRUE(PressKey(12));
    Release();
    EXPECT_THAT(desktop.programStarts, ElementsAre(Pair("C:\\Board\\", "Kalmeno.exe")));
    EXPECT_THAT(faults.lines, ElementsAre("Board key 12: neither Radozi.exe nor Kalmeno.exe is in C:\\Board\\; no "
                                          "calibration program was started."));
    EXPECT_THAT(desktop.sleeps, ElementsAre(200u, 200u));

    BoardKeys preferringOwn{desktop, state, settings, faults, common::CalibrationProgramSettings{true}};
    desktop.programStarts.clear();
    desktop.missingPrograms.clear();
    EXPECT_TRUE(preferringOwn.TryBoardKey(FirstPlace(12), calibration));
    Release();
    desktop.missingPrograms = {"Kalmeno.exe"};
    EXPECT_TRUE(preferringOwn.TryBoardKey(FirstPlace(12), calibration));
    EXPECT_THAT(desktop.programStarts,
                ElementsAre(Pair("C:\\Board\\", "Kalmeno.exe"), Pair("C:\\Board\\", "Radozi.exe")));
    EXPECT_EQ(faults.lines.size(), 1u);
}

// --- through the gesture machines ----------------------------------------

class BoardKeysInGesturesTest : public BoardKeysTest {
protected:
    BoardKeysInGesturesTest()
    {
        socketSlot.Publish(channel);
        state.boardKeysEnabled = 1;
        state.socketRouting = SocketRouting::HalfSplit;
    }
    void Feed(const RecordBuilder& record) { machines.Process(record.Decoded(), calibration); }
    void Touch(int slot, const Point& p)
    {
        Feed(RecordBuilder().Contact(slot, static_cast<unsigned>(p.x), static_cast<unsigned>(p.y)));
    }

    std::shared_ptr<RecordingChannel> channel = std::make_shared<RecordingChannel>();
    ChannelSlot socketSlot;
    GestureMachines machines{desktop, state, keys, socketSlot};
};

TEST_F(BoardKeysInGesturesTest, SecondPointerOnAKeyWhileTheFirstHoldsOneRunsNothing)
{
    const Point localKey = FirstPlace(0);
    const Point socketKey = FirstPlace(13); // right half
    // Two samples make a press; the key hit replaces the mouse press.
    Touch(0, localKey);
    Touch(0, localKey);
    ASSERT_THAT(desktop.posts, ElementsAre(Command(25)));
    Feed(RecordBuilder().Contact(0, 40, 40).Contact(1, static_cast<unsigned>(socketKey.x), 40));
    Feed(RecordBuilder().Contact(0, 40, 40).Contact(1, static_cast<unsigned>(socketKey.x), 40));
    EXPECT_THAT(desktop.posts, ElementsAre(Command(25)));
    // The local contact stays down without a button: it only moves.
    for (const auto& event : desktop.mouseEvents) EXPECT_EQ(event.flags, 0x8001u);
    // The socket press went to the key, not out as a packet.
    EXPECT_THAT(channel->writes, IsEmpty());
    // Releasing either contact arms the keys again.
    Feed(RecordBuilder().Contact(0, 40, 40).Slot(1, 2, static_cast<unsigned>(socketKey.x), 40));
    Feed(RecordBuilder().Contact(0, 40, 40).Contact(1, static_cast<unsigned>(socketKey.x), 40));
    Feed(RecordBuilder().Contact(0, 40, 40).Contact(1, static_cast<unsigned>(socketKey.x), 40));
    EXPECT_THAT(desktop.posts, ElementsAre(Command(25), Command(33)));
}

} // namespace
} // namespace driver
