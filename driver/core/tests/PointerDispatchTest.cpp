// Pointer dispatch and the mouse-event wrappers: what a press, a drag, a
// press-and-hold and a point leaving the board put into the input stream.
#include "DriverFakes.h"
#include "TestInput.h"

#include "common/AbsoluteCoordinate.h"
#include "driver/MouseInput.h"
#include "driver/MousePointer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

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
using testing::kMove;
using testing::kMoveLeftDown;
using testing::kRightClick;
using testing::MouseEvent;

class PointerDispatchTest : public ::testing::Test {
protected:
    void Press(double x, double y) { dispatcher.DispatchPointer({x, y, PointerPhase::Press}, calibration); }
    void Move(double x, double y) { dispatcher.DispatchPointer({x, y, PointerPhase::Move}, calibration); }
    void Release(double x, double y) { dispatcher.DispatchPointer({x, y, PointerPhase::Release}, calibration); }
    void MoveStill(int samples, double x, double y)
    {
        for (int i = 0; i < samples; ++i) Move(x, y);
    }
    std::size_t CountFlags(std::uint32_t flags) const
    {
        std::size_t n = 0;
        for (const MouseEvent& e : desktop.mouseEvents) n += e.flags == flags;
        return n;
    }

    FakeDesktop desktop;
    DriverState state;
    NoBoardKeys keys;
    FakeCalibration calibration;
    // Dispatch is the mouse pointer's last step: the hold count lives there.
    MousePointer dispatcher{desktop, state, keys};
};

TEST_F(PointerDispatchTest, PressMoveReleaseInjectAbsoluteEvents)
{
    Press(100, 200);
    Move(300, 400);
    Release(300, 400);
    EXPECT_THAT(desktop.mouseEvents,
                ElementsAre(MouseEvent{kMoveLeftDown, Ax(100), Ay(200)}, MouseEvent{kMove, Ax(300), Ay(400)},
                            MouseEvent{kLeftUp, Ax(300), Ay(400)}));
}

TEST_F(PointerDispatchTest, FractionalPixelsAreTruncatedNotRounded)
{
    Press(639.9, 0.99);
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(MouseEvent{kMoveLeftDown, Ax(639), 0}));
    EXPECT_EQ(dispatcher.LastPosition().x, 639);
}

TEST_F(PointerDispatchTest, ScreenEdgesScaleToTheEndsOfTheAbsoluteRange)
{
    Press(0, 0);
    Move(1024, 768);
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(MouseEvent{kMoveLeftDown, 0, 0}, MouseEvent{kMove, 65535, 65535}));
}

TEST_F(PointerDispatchTest, PointOffTheBoardLiftsTheButtonWhateverThePhase)
{
    calibration.boardEndX = 1000;
    Press(1500, 100); // in no cell: comes back unchanged
    Move(1200, 50);
    // Beyond the screen's far edge: sent as its last pixel.
    EXPECT_THAT(desktop.mouseEvents,
                ElementsAre(MouseEvent{kLeftUp, 65535, Ay(100)}, MouseEvent{kLeftUp, 65535, Ay(50)}));
}

TEST_F(PointerDispatchTest, HoldFiresOnTheHundredAndFirstStillMove)
{
    Press(500, 300);
    MoveStill(100, 503, 297);
    EXPECT_EQ(dispatcher.HoldCount(), 100);
    EXPECT_EQ(CountFlags(kRightClick), 0u);

    desktop.mouseEvents.clear();
    Move(503, 297);
    EXPECT_THAT(desktop.mouseEvents,
                ElementsAre(MouseEvent{kMoveLeftDown, Ax(503), Ay(297)}, MouseEvent{kLeftUp, Ax(503), Ay(297)},
                            MouseEvent{kRightClick, Ax(503), Ay(297)}, MouseEvent{kMove, Ax(503), Ay(297)}));
    EXPECT_THAT(desktop.cursorSets, ElementsAre(ScreenPosition{503, 297}));
    EXPECT_EQ(dispatcher.HoldCount(), 0);
}

TEST_F(PointerDispatchTest, EightPixelsFromThePressPointResetsTheHold)
{
    Press(500, 300);
    MoveStill(60, 507, 307); // 7 px on both axes: still
    EXPECT_EQ(dispatcher.HoldCount(), 60);
    Move(508, 300);
    EXPECT_EQ(dispatcher.HoldCount(), 0);
    MoveStill(5, 500, 292);
    EXPECT_EQ(dispatcher.HoldCount(), 0);
}

TEST_F(PointerDispatchTest, AnchorStaysAtThePressPointDuringSlowDrift)
{
    Press(500, 300);
    for (int i = 1; i <= 20; ++i) Move(500 + i, 300); // drifts 1 px per sample
    EXPECT_EQ(dispatcher.HoldCount(), 0);
}

TEST_F(PointerDispatchTest, NoHoldAfterReleaseUntilTheNextSuccessfulPress)
{
    calibration.boardEndX = 1000;
    Press(500, 300);
    Release(500, 300);
    Press(2000, 300); // off the board: lifts, keeps the release seen
    MoveStill(150, 500, 300);
    EXPECT_EQ(CountFlags(kRightClick), 0u);
}

// A release that maps off the board still lets go of the button, so it ends
// the hold as well: a later contact whose press never went out (here one
// that came down off the board) must not click where the last stroke began.
TEST_F(PointerDispatchTest, AReleaseOffTheBoardEndsTheHoldToo)
{
    calibration.boardEndX = 1000;
    Press(500, 300);
    Release(1500, 300);
    Press(2000, 300);
    MoveStill(150, 500, 300);
    EXPECT_EQ(CountFlags(kRightClick), 0u);
}

TEST_F(PointerDispatchTest, ZeroScreenSizeInjectsNothing)
{
    calibration.screen = {0, 0};
    calibration.boardEndX = 1e9;
    Press(10, 10);
    MoveStill(120, 10, 10);
    Release(10, 10);
    EXPECT_THAT(desktop.mouseEvents, IsEmpty());
    EXPECT_THAT(desktop.cursorSets, IsEmpty());
}

TEST_F(PointerDispatchTest, HugeOrNotANumberMappingsStayDefined)
{
    calibration.scale = std::numeric_limits<double>::quiet_NaN();
    Press(10, 10);
    EXPECT_EQ(dispatcher.LastPosition().x, 0);
    calibration.scale = 1e300;
    Move(10, -10);
    EXPECT_EQ(dispatcher.LastPosition().x, std::numeric_limits<int>::max());
    EXPECT_EQ(dispatcher.LastPosition().y, std::numeric_limits<int>::min());
    EXPECT_EQ(desktop.mouseEvents.back().flags, kLeftUp);
    EXPECT_EQ(desktop.mouseEvents.back().ax, 65535);
    EXPECT_EQ(desktop.mouseEvents.back().ay, 0);
}

TEST(MouseInputTest, DoubleClickIsFourButtonEventsWithoutMove)
{
    FakeDesktop desktop;
    const BoardScreen board = BoardScreen::PrimaryOnly({1024, 768});
    MouseInput(desktop, board, MouseInput::Reach::Board).MouseDoubleClick(512, 384);
    const MouseEvent down{kLeftDown, Ax(512), Ay(384)};
    const MouseEvent up{kLeftUp, Ax(512), Ay(384)};
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(down, up, down, up));
}

// The system places an absolute coordinate a on pixel a * extent / 65536.
int SystemPixel(int absolute, int extent)
{
    return static_cast<int>(static_cast<std::int64_t>(absolute) * extent / 65536);
}

TEST(MouseInputTest, EveryPixelComesBackAsItselfAndThePixelsOffTheScreenAsTheNearestEdge)
{
    for (int extent : {480, 600, 720, 768, 800, 1024, 1050, 1080, 1200, 1366, 1440, 1920, 2160, 2560, 3840, 7680}) {
        for (int pixel = 0; pixel < extent; ++pixel) {
            ASSERT_EQ(SystemPixel(common::AbsoluteCoordinate(pixel, extent), extent), pixel) << extent;
        }
        EXPECT_EQ(common::AbsoluteCoordinate(extent, extent), 65535);
    }
    for (std::int64_t beyond : {1025LL, 100000LL, static_cast<long long>(std::numeric_limits<int>::max())}) {
        EXPECT_EQ(common::AbsoluteCoordinate(beyond, 1024), 65535);
    }
    for (std::int64_t before : {-1LL, -5LL, static_cast<long long>(std::numeric_limits<int>::min())}) {
        EXPECT_EQ(common::AbsoluteCoordinate(before, 1024), 0);
    }
    EXPECT_EQ(common::AbsoluteCoordinate(10, 0), 0);
}

// The rear pen button completes its press with a right click at the cursor:
// clicked again and again it must leave the cursor where it was.
TEST(MouseInputTest, RightClicksAtTheCursorLeaveTheCursorWhereItWas)
{
    for (const ScreenSize screen : {ScreenSize{1024, 768}, ScreenSize{1366, 768}, ScreenSize{1920, 1080}}) {
        FakeDesktop desktop;
        const BoardScreen board = BoardScreen::PrimaryOnly(screen);
        const MouseInput mouse(desktop, board, MouseInput::Reach::Desktop);
        ScreenPosition cursor{screen.width * 3 / 5, screen.height * 5 / 7};
        const ScreenPosition start = cursor;
        for (int click = 0; click < 20; ++click) {
            mouse.MouseRightClickAt(cursor.x, cursor.y);
            cursor = {SystemPixel(desktop.mouseEvents.back().ax, screen.width),
                      SystemPixel(desktop.mouseEvents.back().ay, screen.height)};
        }
        EXPECT_EQ(cursor, start) << screen.width << " x " << screen.height;
    }
}

} // namespace
} // namespace driver
