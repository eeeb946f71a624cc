// A calibration program that wrote a grid the driver cannot use, and keeps
// asking for reloads: one failure box at most, the rest in the support log.
#include "FaultRun.h"

#include "common/Messages.h"
#include "common/SupportLogFile.h"
#include "sim/ChildProcess.h"
#include "sim/LineLog.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <windows.h>

namespace faults {
namespace {

constexpr int kReloadRequests = 30;

struct BoxSearch {
    HWND owner;
    int boxes;
};

BOOL CALLBACK CountOwnedBox(HWND window, LPARAM raw)
{
    auto& search = *reinterpret_cast<BoxSearch*>(raw);
    char windowClass[16] = {};
    GetClassNameA(window, windowClass, sizeof windowClass);
    if (std::string(windowClass) == "#32770" && GetWindow(window, GW_OWNER) == search.owner) ++search.boxes;
    return TRUE;
}

class ReloadFailureBox : public FaultRun {
protected:
    // The message boxes the driver's window owns, nested or not.
    int DriverBoxes() const
    {
        BoxSearch search{DriverWindow(), 0};
        EnumWindows(&CountOwnedBox, reinterpret_cast<LPARAM>(&search));
        return search.boxes;
    }
    static std::size_t SupportLogSize() { return sim::ReadWholeFile(common::SupportLogFile::DefaultPath()).size(); }
    static std::string SupportLogSince(std::size_t from)
    {
        const std::string text = sim::ReadWholeFile(common::SupportLogFile::DefaultPath());
        return from < text.size() ? text.substr(from) : std::string();
    }
};

TEST_F(ReloadFailureBox, RepeatedFailedReloadsShowOneBoxAndLogTheRest)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    const std::size_t logBefore = SupportLogSize();
    // A calibration program saved a grid of zeros.
    ASSERT_TRUE(rig_.Folder().Write("WBInit.ini", "[coordinate]\r\nwdot=3\r\nhdot=3\r\n"));
    for (int n = 0; n < kReloadRequests; ++n) PostToDriver(msg::kPipeForwardEnd, 0, 0);
    // Answered in order: every request before it has been handled.
    ASSERT_GE(AskSocketMode(), 0) << "the driver's window stopped handling posted messages";
    EXPECT_EQ(DriverBoxes(), 1);
    const std::string again = "The calibration failed to load again while its failure box was still open.";
    EXPECT_TRUE(sim::WaitUntil(
        [&] {
            const std::string log = SupportLogSince(logBefore);
            std::size_t lines = 0;
            for (std::size_t at = log.find(again); at != std::string::npos; at = log.find(again, at + 1)) ++lines;
            return lines >= 1;
        },
        e2e::kWaitMs))
        << SupportLogSince(logBefore);

    // The teacher dismisses the box; a good calibration loads again.
    HWND box = sim::WaitForProcessWindow(
        rig_.Driver().Id(), [&](HWND window) { return sim::IsShownDialog(window) && window != DriverWindow(); },
        e2e::kWaitMs);
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(sim::WaitUntil([&] { return DriverBoxes() == 0; }, e2e::kWaitMs));
    ASSERT_TRUE(rig_.Folder().CopyIn(sim::OwnFolder() + "e2e-WBInit.ini", "WBInit.ini"));
    PostToDriver(msg::kPipeForwardEnd, 0, 0);
    ASSERT_GE(AskSocketMode(), 0);
    EXPECT_EQ(DriverBoxes(), 0);
    ExpectFinalTouchWorks();
}

// The package's closer asks with WM_CLOSE and waits 15 s before an upgrade
// falls back to files in use and a restart. A failure box left open (over a
// weekend, say) must not hold the driver: the close ends it, box and all.
TEST_F(ReloadFailureBox, TheUpgradesCloserEndsTheDriverWhileItsFailureBoxIsOpen)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    ASSERT_TRUE(rig_.Folder().Write("WBInit.ini", "[coordinate]\r\nwdot=3\r\nhdot=3\r\n"));
    for (int n = 0; n < 3; ++n) PostToDriver(msg::kPipeForwardEnd, 0, 0);
    ASSERT_GE(AskSocketMode(), 0);
    ASSERT_TRUE(sim::WaitUntil([&] { return DriverBoxes() == 1; }, e2e::kWaitMs));

    ASSERT_TRUE(rig_.Folder().CopyIn(sim::BuiltPath(DRIVER_CLOSER_EXE), "DriverCloser.exe"));
    sim::ChildProcess closer =
        sim::ChildProcess::Start(rig_.Folder().File("DriverCloser.exe"), rig_.Folder().Path(), "/wait:15000");
    ASSERT_TRUE(closer);
    ASSERT_TRUE(closer.WaitForExit(30000)) << "the closer did not end";
    EXPECT_EQ(closer.ExitCode(), 0u) << "the driver was still running when the closer gave up";
    EXPECT_FALSE(rig_.Driver().Running());

    // The next logon's driver: the board works with a good calibration.
    ASSERT_TRUE(rig_.Folder().CopyIn(sim::OwnFolder() + "e2e-WBInit.ini", "WBInit.ini"));
    ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();
    ExpectFinalTouchWorks();
}

} // namespace
} // namespace faults
