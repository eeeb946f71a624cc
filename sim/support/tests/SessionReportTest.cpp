#include "sim/SessionReport.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

MouseEvent Event(MouseKind kind, int x, int y)
{
    MouseEvent event;
    event.kind = kind;
    event.x = x;
    event.y = y;
    event.injected = true;
    return event;
}

TEST(StandInLogTest, MessageLinesRoundTripAndOthersAreNotMessages)
{
    const auto message = ParseMessageLine("msg 2034 10 2321");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->message, 2034u);
    EXPECT_EQ(message->wParam, 10u);
    EXPECT_EQ(message->lParam, 2321);
    EXPECT_EQ(FormatMessageLine(*message), "msg 2034 10 2321");
    EXPECT_EQ(ParseMessageLine("msg 36 0 -12")->lParam, -12);
    EXPECT_FALSE(ParseMessageLine("start"));
    EXPECT_FALSE(ParseMessageLine("msg 1 2"));
    EXPECT_FALSE(ParseMessageLine("script done 3"));
}

TEST(StandInLogTest, MouseLinesRoundTripAndOthersAreNotEvents)
{
    MouseEvent event = Event(MouseKind::RightDown, 511, 383);
    event.microseconds = 123456789012LL;
    const auto back = ParseMouseLine(FormatMouseLine(event));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->microseconds, event.microseconds);
    EXPECT_EQ(back->kind, MouseKind::RightDown);
    EXPECT_EQ(back->x, 511);
    EXPECT_EQ(back->y, 383);
    EXPECT_TRUE(back->injected);
    EXPECT_FALSE(ParseMouseLine("ready"));
    EXPECT_FALSE(ParseMouseLine("msg 1 2 3"));
    EXPECT_FALSE(ParseMouseLine("12 jump 1 2 0"));
}

TEST(StandInLogTest, CompleteLinesLeaveOutAnUnfinishedTail)
{
    const auto lines = CompleteLines("start\r\nmsg 1 2 3\r\nmsg 4 5");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "start");
    EXPECT_EQ(lines[1], "msg 1 2 3");
    EXPECT_TRUE(CompleteLines("").empty());
    EXPECT_EQ(CompleteLines("a\n\nb\n").size(), 3u);
}

TEST(SessionReportTest, StrokesRunFromPressToReleaseAndCountsAreKept)
{
    const std::vector<MouseEvent> mouse = {
        Event(MouseKind::Move, 1, 1), // hover before any press: no stroke
        Event(MouseKind::Move, 10, 10),       Event(MouseKind::LeftDown, 10, 10), Event(MouseKind::Move, 20, 12),
        Event(MouseKind::Move, 30, 14),       Event(MouseKind::LeftUp, 30, 14),   Event(MouseKind::Move, 300, 300),
        Event(MouseKind::LeftDown, 300, 300), Event(MouseKind::LeftUp, 300, 300), Event(MouseKind::RightDown, 300, 300),
        Event(MouseKind::RightUp, 300, 300),
    };
    const std::vector<LoggedMessage> messages = {{0x0024, 0, 0}, {0x07F2, 10, 2321}, {0x07F2, 0, 0x119}};
    const SessionReport report = BuildSessionReport(mouse, messages);
    EXPECT_EQ(report.presses, 2);
    EXPECT_EQ(report.releases, 2);
    EXPECT_EQ(report.moves, 5);
    EXPECT_EQ(report.rightClicks, 1);
    ASSERT_EQ(report.strokes.size(), 2u);
    ASSERT_EQ(report.strokes[0].size(), 3u);
    EXPECT_EQ(report.strokes[0][2].x, 30);
    EXPECT_EQ(report.strokes[1].size(), 1u);
    ASSERT_EQ(report.rightClickPoints.size(), 1u);
    // System messages the window gets on its own are not the driver's.
    EXPECT_EQ(report.appMessages.size(), 2u);
}

TEST(SessionReportTest, SummaryAndPictureShowWhatHappened)
{
    const std::vector<MouseEvent> mouse = {Event(MouseKind::LeftDown, 10, 20), Event(MouseKind::Move, 30, 40),
                                           Event(MouseKind::LeftUp, 30, 40), Event(MouseKind::RightDown, 50, 60)};
    const SessionReport report = BuildSessionReport(mouse, {{0x07F2, 10, 2321}, {0x07F2, 10, 2321}});
    const std::string summary = FormatSummary(report);
    EXPECT_NE(summary.find("presses:      1"), std::string::npos) << summary;
    EXPECT_NE(summary.find("right clicks: 1"), std::string::npos) << summary;
    EXPECT_NE(summary.find("message 0x7f2 wParam 10 lParam 2321: 2"), std::string::npos) << summary;
    const std::string svg = DrawStrokesSvg(report, 1024, 768);
    EXPECT_EQ(svg.rfind("<svg", 0), 0u);
    EXPECT_NE(svg.find("viewBox=\"0 0 1024 768\""), std::string::npos);
    EXPECT_NE(svg.find("points=\"10,20 30,40\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("cx=\"50\" cy=\"60\" r=\"10\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

} // namespace
} // namespace sim
