#include "sim/ChildProcess.h"

#include "common/Messages.h"
#include "sim/LogFiles.h"
#include "sim/ScratchFolder.h"
#include "sim/WindowSearch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace sim {
namespace {

constexpr unsigned kWaitMs = 20000;

std::string CommandInterpreter()
{
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\cmd.exe";
}

// The main tool stand-in, started from a folder of its own.
class ChildProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.Ok());
        ASSERT_TRUE(folder_.CopyIn(OwnFolder() + "SimMainTool.exe", "SimMainTool.exe"));
        ASSERT_EQ(FindWindowA(wnd::kMainToolClass, nullptr), nullptr) << "a main tool of another test runs";
    }

    ChildProcess StartMainTool() const
    {
        ChildProcess tool = ChildProcess::Start(folder_.File("SimMainTool.exe"), folder_.Path());
        EXPECT_TRUE(tool);
        EXPECT_TRUE(WaitForLogLine(folder_.File("MainTool.log"), "start", kWaitMs));
        return tool;
    }

    ScratchFolder folder_{OwnFolder() + "scratch\\", "kit-child"};
};

TEST_F(ChildProcessTest, RunsInTheGivenFolderWithItsArgumentsAndReportsItsExitCode)
{
    const ChildProcess shell = ChildProcess::Start(CommandInterpreter(), folder_.Path(), "/c cd > where.txt & exit 3");
    ASSERT_TRUE(shell);
    EXPECT_NE(shell.Id(), 0u);
    ASSERT_TRUE(shell.WaitForExit(kWaitMs));
    EXPECT_FALSE(shell.Running());
    EXPECT_EQ(shell.ExitCode(), 3u);
    std::string folder = folder_.Path();
    folder.pop_back();
    EXPECT_EQ(folder_.Read("where.txt").compare(0, folder.size(), folder), 0) << folder_.Read("where.txt");
}

TEST_F(ChildProcessTest, AProgramThatCannotStartGivesAnEmptyObject)
{
    const ChildProcess missing = ChildProcess::Start(folder_.File("NoSuchProgram.exe"), folder_.Path());
    EXPECT_FALSE(missing);
    EXPECT_FALSE(missing.Running());
    EXPECT_TRUE(missing.WaitForExit(0)) << "nothing to wait for";
}

TEST_F(ChildProcessTest, APoliteCloseEndsTheProgramWithItsOwnCode)
{
    ChildProcess tool = StartMainTool();
    HWND window = WaitForProcessWindow(
        tool.Id(), [](HWND w) { return WindowText(w) == L"MainTool"; }, kWaitMs);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(tool.WaitForIdle(kWaitMs));
    EXPECT_TRUE(tool.Running());
    EXPECT_EQ(tool.ExitCode(), static_cast<unsigned long>(STILL_ACTIVE));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(tool.WaitForExit(kWaitMs));
    EXPECT_EQ(tool.ExitCode(), 0u);
}

TEST_F(ChildProcessTest, TheOwnerEndsAProgramThatOutlivesIt)
{
    unsigned long id = 0;
    {
        const ChildProcess tool = StartMainTool();
        id = tool.Id();
    }
    EXPECT_TRUE(WaitForWindowGone(wnd::kMainToolClass, nullptr, kWaitMs));
    EXPECT_FALSE(ChildProcess::Adopt(id).Running());
}

TEST_F(ChildProcessTest, AnAdoptedProgramCanBeEndedAndMovingKeepsOneOwner)
{
    ChildProcess started = StartMainTool();
    ChildProcess adopted = ChildProcess::Adopt(started.Id());
    ASSERT_TRUE(adopted);
    EXPECT_EQ(adopted.Id(), started.Id());

    ChildProcess moved = std::move(adopted);
    EXPECT_FALSE(adopted);
    EXPECT_TRUE(moved.Running());
    moved.Terminate();
    EXPECT_FALSE(moved.Running());
    EXPECT_TRUE(started.WaitForExit(kWaitMs));
    EXPECT_EQ(started.ExitCode(), 255u);
}

} // namespace
} // namespace sim
