// Pointer dispatch and the mouse-event wrappers: what a press, a drag, a
// press-and-hold and a point leaving the board put into the input stream.
#include "DriverFakes.h"
#include "TestInput.h"

#include "driver/MouseInput.h"
#include "driver/MousePointer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
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
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(MouseEvent{kLeftUp, 65535 * 1500 / 1024, Ay(100)},
                                                 MouseEvent{kLeftUp, 65535 * 1200 / 1024, Ay(50)}));
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
    EXPECT_EQ(desktop.mouseEvents.back().ax, std::numeric_limits<std::int32_t>::max() / 1024);
}

TEST(MouseInputTest, DoubleClickIsFourButtonEventsWithoutMove)
{
    FakeDesktop desktop;
    MouseInput(desktop, {1024, 768}).MouseDoubleClick(512, 384);
    const MouseEvent down{kLeftDown, 32767, 32767};
    const MouseEvent up{kLeftUp, 32767, 32767};
    EXPECT_THAT(desktop.mouseEvents, ElementsAre(down, up, down, up));
}

TEST(MouseInputTest, AbsoluteScalingSaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(ToAbsolute(1920, 1920), 65535);
    EXPECT_EQ(ToAbsolute(-5, 1024), -5 * 65535 / 1024);
    // 100000 * 65535 overflows 32 bits; it saturates before the division.
    EXPECT_EQ(ToAbsolute(100000, 1024), 2147483647 / 1024);
}

} // namespace
} // namespace driver
