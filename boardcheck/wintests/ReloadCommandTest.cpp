// "Brelvin.exe /reload" beside the running driver: the edited [Filter] is in
// force once it exits 0, the board check's answer says so, and a touch still
// presses and lifts where the pen was. Without a driver it exits 1 (and
// starts none), beside a driver window that never answers 2.
#include "DriverAsker.h"
#include "DriverRun.h"

#include "common/BoardStatusRequest.h"
#include "common/SupportLogFile.h"
#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"
#include "sim/Waiting.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace boardcheck_e2e {
namespace {

// Its 5 s wait for the answer and a busy machine's start of the program.
constexpr unsigned kReloadExitMs = 15000;

unsigned long RunReload(const sim::BoardRig& rig)
{
    sim::ChildProcess reload = sim::ChildProcess::Start(rig.File(sim::kDriverProgram), rig.Folder().Path(), "/reload");
    if (!reload || !reload.WaitForExit(kReloadExitMs)) return 0xFFFFFFFFul;
    return reload.ExitCode();
}

using ReloadCommand = e2e::DriverRun;

TEST_F(ReloadCommand, PutsTheEditedSmoothingInForceAndTouchesStillLandWhereThePenWas)
{
    const std::string logPath = common::SupportLogFile::DefaultPath();
    const std::size_t logBefore = sim::ReadWholeFile(logPath).size();
    Start("");
    DriverAsker asker;
    ASSERT_TRUE(asker.Ask(common::BoardCheckRequest(common::kBoardCheckStatus)));
    ASSERT_TRUE(asker.WaitForAnswer([](const common::BoardStatus& s) { return s.smoothing == "fixed"; }, e2e::kWaitMs));

    ASSERT_TRUE(WritePrivateProfileStringA("Filter", "MODE", "adaptive", rig_.File(sim::kSettingsFile).c_str()));
    EXPECT_EQ(RunReload(rig_), 0ul);
    ASSERT_TRUE(asker.Ask(common::BoardCheckRequest(common::kBoardCheckStatus)));
    EXPECT_TRUE(asker.WaitForAnswer(
        [](const common::BoardStatus& s) {
            return s.smoothing == "adaptive" &&
                   s.smoothingParameters == "MIN_CUTOFF=0.5 BETA=0.06 DERIVATIVE_CUTOFF=0.7 STILL_SPEED=100" &&
                   s.settingsReads == 2;
        },
        e2e::kWaitMs))
        << (asker.Answers().empty() ? std::string("no answer") : asker.Answers().back());
    EXPECT_TRUE(sim::WaitUntil(
        [&] {
            return sim::ReadWholeFile(logPath).find("Read the settings again at the board check's request.", logBefore) !=
                   std::string::npos;
        },
        e2e::kWaitMs));

    PlayScript("down 1600 1200\n"
               "down 1600 1200\n"
               "down 1600 1200\n"
               "up 1600 1200\n");
    const auto events =
        WaitForEvents([](const std::vector<sim::MouseEvent>& e) { return e2e::ButtonSequence(e) == "ldown lup"; });
    ASSERT_EQ(e2e::ButtonSequence(events), "ldown lup") << e2e::Describe(events);
    for (const sim::MouseEvent& event : events) {
        if (event.kind == sim::MouseKind::LeftDown || event.kind == sim::MouseKind::LeftUp) {
            EXPECT_TRUE(e2e::Near(event, e2e::ScreenX(1600), e2e::ScreenY(1200))) << e2e::Describe(events);
        }
    }
    EXPECT_TRUE(rig_.Driver().Running());
}

TEST_F(ReloadCommand, SaysByItsExitCodeThatNoDriverRunsOrNoneAnswered)
{
    ASSERT_TRUE(rig_.Prepare(std::string(), sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini"))) << rig_.Problem();
    EXPECT_EQ(RunReload(rig_), 1ul);
    EXPECT_EQ(common::FindDriverWindow(), nullptr) << "it does not start a driver of its own";

    ASSERT_TRUE(rig_.Folder().CopyIn(sim::BuiltPath(SIM_DRIVER_WINDOW_EXE), "SimDriverWindow.exe"));
    sim::ChildProcess silent = sim::ChildProcess::Start(rig_.File("SimDriverWindow.exe"), rig_.Folder().Path());
    ASSERT_TRUE(silent);
    ASSERT_TRUE(sim::WaitUntil([] { return common::FindDriverWindow() != nullptr; }, e2e::kWaitMs));
    EXPECT_EQ(RunReload(rig_), 2ul);
    silent.Terminate();
    silent.WaitForExit(e2e::kWaitMs);
}

} // namespace
} // namespace boardcheck_e2e
