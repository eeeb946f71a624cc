// The board on the second of two monitors, with the real driver: Wine's X11
// driver on an X server of two screens (two-screens.sh starts it). A stroke
// must land at the second monitor's scale, which reaches beyond the primary
// screen's 1024 x 768, and nowhere at the primary screen's scale; where the
// X server places the second monitor beside the primary screen, at its
// place, with nothing on the primary screen. And a policy's monitor, set
// while the driver runs, takes the board there.
#include "DriverRun.h"
#include "PolicyEdit.h"

#include "common/DisplayLayout.h"
#include "common/SupportLogFile.h"
#include "common/Win32Monitors.h"
#include "sim/LineLog.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <string>

namespace e2e {
namespace {

class TwoScreens : public DriverRun {
protected:
    void SetUp() override
    {
        layout_ = common::ReadDisplayLayout();
        for (const common::MonitorInfo& monitor : layout_.monitors) {
            if (!monitor.primary) second_ = monitor.rect;
        }
        if (layout_.monitors.size() < 2) GTEST_SKIP() << "Wine shows one monitor on this display";
    }

    // Where the calibration of e2e-WBInit.ini puts a camera point on the
    // second monitor.
    int SecondX(double cameraX) const { return second_.left + static_cast<int>(cameraX * second_.Width() / 3200); }
    int SecondY(double cameraY) const { return second_.top + static_cast<int>(cameraY * second_.Height() / 2400); }

    common::DisplayLayout layout_;
    common::PixelRect second_;
};

TEST_F(TwoScreens, AStrokeLandsOnTheSecondMonitorAtItsScale)
{
    ASSERT_GT(second_.Width(), GetSystemMetrics(SM_CXSCREEN)) << "the X server's second screen is the larger one";
    const std::string settings =
        sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini") + "\r\n[Display]\r\nMONITOR=secondary\r\n";
    const std::string stroke = "down 400 300\nline 400 300 3000 2250 12\nup 3000 2250\n";
    ASSERT_TRUE(rig_.Prepare(kScriptStart + stroke, settings)) << rig_.Problem();
    ASSERT_TRUE(rig_.StartRecorder()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDrawingApp()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();
    WaitForScript();
    const auto events =
        WaitForEvents([](const std::vector<sim::MouseEvent>& e) { return ButtonSequence(e) == "ldown lup"; });
    ASSERT_EQ(ButtonSequence(events), "ldown lup") << Describe(events);

    const sim::MouseEvent& press = events.front();
    EXPECT_TRUE(Near(press, SecondX(400), SecondY(300))) << Describe(events);
    // The last move: near the second monitor's far corner, off the primary
    // screen's extent; at the primary screen's scale it would be 960, 720.
    const sim::MouseEvent* last = nullptr;
    for (const sim::MouseEvent& event : events) {
        if (event.kind == sim::MouseKind::Move) last = &event;
    }
    ASSERT_NE(last, nullptr) << Describe(events);
    EXPECT_GE(last->x, GetSystemMetrics(SM_CXSCREEN)) << Describe(events);
    const bool beside = second_.left >= GetSystemMetrics(SM_CXSCREEN);
    for (const sim::MouseEvent& event : events) {
        EXPECT_FALSE(Near(event, ScreenX(3000), ScreenY(2250)) && !Near(event, SecondX(3000), SecondY(2250)))
            << "a point at the primary screen's scale\n"
            << Describe(events);
        if (beside) {
            EXPECT_TRUE(second_.Contains(event.x, event.y)) << "a point off the second monitor\n" << Describe(events);
        }
    }
    RecordProperty("second monitor", std::to_string(second_.Width()) + "x" + std::to_string(second_.Height()) + " at " +
                                         std::to_string(second_.left) + "," + std::to_string(second_.top));
}

class TwoScreensPolicy : public TwoScreens {
protected:
    // The script's prefix outlives a run that was stopped before its end.
    void SetUp() override
    {
        RemoveMachinePolicies();
        TwoScreens::SetUp();
    }
    void TearDown() override { RemoveMachinePolicies(); }
};

// WBInit.ini says nothing of monitors; the policy is written where Group
// Policy writes it and the system's announcement broadcast, as once Group
// Policy has been applied.
TEST_F(TwoScreensPolicy, APolicysMonitorTakesTheRunningBoardThere)
{
    const std::string supportLog = common::SupportLogFile::DefaultPath();
    const std::size_t supportLogBefore = sim::ReadWholeFile(supportLog).size();
    StartIdle(PeerSetup{});
    const std::string tap = "down 3000 2250\nhold 3000 2250 3\nup 3000 2250\n";
    PlayScript(tap);
    auto events = WaitForEvents([](const std::vector<sim::MouseEvent>& e) { return ButtonSequence(e) == "ldown lup"; });
    ASSERT_EQ(ButtonSequence(events), "ldown lup") << Describe(events);
    EXPECT_TRUE(Near(events.front(), ScreenX(3000), ScreenY(2250))) << "before the policy\n" << Describe(events);

    ASSERT_TRUE(SetMachinePolicy(common::options::kMonitor, "secondary"));
    AnnouncePolicyChange();
    std::string since;
    EXPECT_TRUE(sim::WaitUntil(
        [&] {
            since = sim::ReadWholeFile(supportLog).substr(supportLogBefore);
            return since.find("A policy sets [Display] MONITOR=secondary;") != std::string::npos &&
                   since.find("[Display] MONITOR=secondary: the board is on monitor") != std::string::npos;
        },
        kWaitMs))
        << since;

    PlayScript(tap);
    events = WaitForEvents(
        [](const std::vector<sim::MouseEvent>& e) { return ButtonSequence(e) == "ldown lup ldown lup"; });
    ASSERT_EQ(ButtonSequence(events), "ldown lup ldown lup") << Describe(events);
    const sim::MouseEvent* press = nullptr;
    for (const sim::MouseEvent& event : events) {
        if (event.kind == sim::MouseKind::LeftDown) press = &event;
    }
    ASSERT_NE(press, nullptr);
    EXPECT_TRUE(Near(*press, SecondX(3000), SecondY(2250))) << "after the policy\n" << Describe(events);
}

} // namespace
} // namespace e2e
