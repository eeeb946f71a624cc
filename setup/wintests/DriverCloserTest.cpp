// DriverCloser.exe as the package runs it, against the stand-in driver
// window: it asks with WM_CLOSE and returns only once the driver's process
// has ended, gives up after its time without ending a driver by force, and
// leaves alone windows that only look like the driver's.
#include "sim/ChildProcess.h"
#include "sim/LogFiles.h"
#include "sim/ScratchFolder.h"
#include "sim/Waiting.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr unsigned kWaitMs = 10000;
constexpr unsigned kCloserEndMs = 30000;

constexpr const char* kCloseLine = "msg 16 0 0"; // WM_CLOSE, as the stand-in logs it

struct OwnedWindow {
    HWND handle;
    ~OwnedWindow()
    {
        if (handle) DestroyWindow(handle);
    }
};

class DriverCloserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.Ok());
        ASSERT_TRUE(folder_.CopyIn(sim::BuiltPath(DRIVER_CLOSER_EXE), "DriverCloser.exe"));
        ASSERT_TRUE(folder_.CopyIn(sim::BuiltPath(SIM_DRIVER_WINDOW_EXE), "SimDriverWindow.exe"));
        ASSERT_EQ(FindWindowA("#32770", "Kelvado"), nullptr) << "a driver window is already open";
    }

    void StartDriver(const std::string& arguments)
    {
        driver_ = sim::ChildProcess::Start(folder_.File("SimDriverWindow.exe"), folder_.Path(), arguments);
        ASSERT_TRUE(driver_);
        ASSERT_TRUE(sim::WaitForLogLine(folder_.File("Kelvado.log"), "ready", kWaitMs));
    }

    // Runs the closer to its end and gives its exit code.
    unsigned long RunCloser(const std::string& arguments) const
    {
        sim::ChildProcess closer =
            sim::ChildProcess::Start(folder_.File("DriverCloser.exe"), folder_.Path(), arguments);
        EXPECT_TRUE(closer);
        EXPECT_TRUE(closer.WaitForExit(kCloserEndMs)) << "the closer did not end";
        return closer.ExitCode();
    }

    std::string DriverLog() const { return folder_.Read("Kelvado.log"); }

    sim::ScratchFolder folder_{sim::TempFolder(), "closer"};
    sim::ChildProcess driver_;
};

TEST_F(DriverCloserTest, WithoutADriverThereIsNothingToClose)
{
    EXPECT_EQ(RunCloser(""), 0u);
}

TEST_F(DriverCloserTest, ReturnsOnlyOnceTheDriverHasEnded)
{
    // The stand-in's window goes at once, its process 1.5 s later, as the
    // driver's does while its worker stops.
    StartDriver("/linger:1500");
    EXPECT_EQ(RunCloser("/wait:20000"), 0u);
    EXPECT_FALSE(driver_.Running()) << "the closer returned before the driver had ended";
    const std::string log = DriverLog();
    EXPECT_NE(log.find(std::string(kCloseLine) + "\r\nexit"), std::string::npos) << log;
}

TEST_F(DriverCloserTest, GivesUpAfterItsTimeAndLeavesTheDriverRunning)
{
    StartDriver("/stay");
    EXPECT_EQ(RunCloser("/wait:1000"), 1u);
    EXPECT_TRUE(driver_.Running()) << "the driver was ended by force";
    EXPECT_NE(DriverLog().find(kCloseLine), std::string::npos) << "the driver was not asked";
}

TEST_F(DriverCloserTest, LeavesWindowsAloneThatAreNotTheDriver)
{
    // A dialog of another caption and a window of another class with the
    // driver's caption, both of this thread: a close posted to either would
    // wait in this thread's queue.
    const OwnedWindow otherDialog{
        CreateWindowExA(0, "#32770", "Penvaro", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)};
    const OwnedWindow otherClass{
        CreateWindowExA(0, "Static", "Kelvado", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)};
    ASSERT_NE(otherDialog.handle, nullptr);
    ASSERT_NE(otherClass.handle, nullptr);

    EXPECT_EQ(RunCloser("/wait:2000"), 0u);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        << "a close was posted to a window that is not the driver";
}

} // namespace
