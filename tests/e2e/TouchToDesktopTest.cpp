// Touch records written into the shared block come out as mouse input.
#include "DriverRun.h"

#include <algorithm>

namespace e2e {
namespace {

using sim::MouseEvent;
using sim::MouseKind;

int Count(const std::vector<MouseEvent>& events, MouseKind kind)
{
    return static_cast<int>(
        std::count_if(events.begin(), events.end(), [&](const MouseEvent& e) { return e.kind == kind; }));
}

std::function<bool(const std::vector<MouseEvent>&)> Has(MouseKind kind, int count)
{
    return [=](const std::vector<MouseEvent>& events) { return Count(events, kind) >= count; };
}

std::vector<MouseEvent>::const_iterator Find(const std::vector<MouseEvent>& events, MouseKind kind, int nth = 1)
{
    return std::find_if(events.begin(), events.end(),
                        [&](const MouseEvent& e) { return e.kind == kind && --nth == 0; });
}

using TouchToDesktop = DriverRun;

TEST_F(TouchToDesktop, PressComesWithTheSecondSampleAndDragsAreSmoothed)
{
    Start(kScriptStart + "down 800 600\n"   // first sample of the contact: dropped
                         "down 1600 1200\n" // second: the press, at the screen's centre
                         "down 2100 1200\n" // move, 0.6 of the way: camera x 1900
                         "down 2100 1200\n" // camera x 2020
                         "up 2100 1200\n");
    WaitForScript();
    const auto events = WaitForEvents(Has(MouseKind::LeftUp, 1));
    ASSERT_EQ(ButtonSequence(events), "ldown lup") << Describe(events);

    const auto press = Find(events, MouseKind::LeftDown);
    EXPECT_TRUE(Near(*press, ScreenX(1600), ScreenY(1200))) << Describe(events);
    for (const MouseEvent& event : events) {
        EXPECT_FALSE(Near(event, ScreenX(800), ScreenY(600))) << "the first sample reached the desktop";
    }
    std::vector<int> movesAfterPress;
    for (auto it = press; it != events.end(); ++it) {
        if (it->kind == MouseKind::Move) movesAfterPress.push_back(it->x);
    }
    ASSERT_EQ(movesAfterPress.size(), 2u) << Describe(events);
    EXPECT_NEAR(movesAfterPress[0], ScreenX(1900), 2);
    EXPECT_NEAR(movesAfterPress[1], ScreenX(2020), 2);
    EXPECT_TRUE(Find(events, MouseKind::LeftUp) > press);
}

TEST_F(TouchToDesktop, A101stStillSampleRightClicksAndA100thDoesNot)
{
    Start(kScriptStart + "down 1600 1200\ndown 1600 1200\nhold 1600 1200 100\nup 1600 1200\n"
                         "down 1000 1200\ndown 1000 1200\nhold 1000 1200 101\nup 1000 1200\n");
    WaitForScript();
    const auto events = WaitForEvents(Has(MouseKind::LeftUp, 3));
    // Second contact: press, then on the 101st still sample a left click
    // and a right click at the press point; the release still lifts.
    EXPECT_EQ(ButtonSequence(events), "ldown lup ldown ldown lup rdown rup lup") << Describe(events);
    const auto rightClick = Find(events, MouseKind::RightDown);
    ASSERT_NE(rightClick, events.end());
    EXPECT_TRUE(Near(*rightClick, ScreenX(1000), ScreenY(1200))) << rightClick->x << "," << rightClick->y;
}

TEST_F(TouchToDesktop, APointLeavingTheBoardLiftsTheButton)
{
    Start(kScriptStart + "down 1600 1200\ndown 1600 1200\n" // press at the centre
                         "down 5000 1200\n"                 // smoothed to camera x 3640: beyond the screen's right edge
                         "down 2000 1200\n"                 // back on the board, camera x 2656: a move, no button
                         "up 2000 1200\n");
    WaitForScript();
    const auto events = WaitForEvents(Has(MouseKind::LeftUp, 2));
    ASSERT_EQ(ButtonSequence(events), "ldown lup lup") << Describe(events);
    const auto leftBoard = Find(events, MouseKind::LeftUp, 1);
    const auto released = Find(events, MouseKind::LeftUp, 2);
    const auto back = std::find_if(leftBoard, released, [](const MouseEvent& e) { return e.kind == MouseKind::Move; });
    ASSERT_NE(back, released) << "no move between leaving the board and the release";
    EXPECT_NEAR(back->x, ScreenX(2656), 2);
    for (const MouseEvent& event : events) EXPECT_LE(event.x, PrimaryScreen().width);
}

TEST_F(TouchToDesktop, SecondContactSlotDrivesTheMouseOnlyWithoutFirstPairContact)
{
    // Slot 2 is ignored while slot 0 has a contact; on its own it drives the mouse.
    Start(kScriptStart + "rec 1 1600 1200 0 0 0 1 400 300\nrec 1 1600 1200 0 0 0 1 400 300\nrec 2 1600 1200\n"
                         "rec 0 0 0 0 0 0 1 400 300\nrec 0 0 0 0 0 0 1 400 300\nrec 0 0 0 0 0 0 2 400 300\n");
    WaitForScript();
    const auto events = WaitForEvents(Has(MouseKind::LeftUp, 2));
    ASSERT_EQ(ButtonSequence(events), "ldown lup ldown lup") << Describe(events);
    EXPECT_TRUE(Near(*Find(events, MouseKind::LeftDown, 1), ScreenX(1600), ScreenY(1200))) << Describe(events);
    EXPECT_TRUE(Near(*Find(events, MouseKind::LeftDown, 2), ScreenX(400), ScreenY(300))) << Describe(events);
}

} // namespace
} // namespace e2e
