// Brelvin.exe itself, started in a scratch folder with its own Language.ini
// and no settings file (so the calibration-failure box appears).
#include "sim/ChildProcess.h"
#include "sim/ScratchFolder.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kCaption = "BoardCaption";
constexpr const char* kAlreadyRunning = "Board driver already runs";
constexpr const char* kNoCalibration = "No calibration";

constexpr unsigned kWaitMs = 15000;
constexpr unsigned kBoxAnswerMs = 10000;
constexpr unsigned kEndMs = 10000;

// The message box of `process` showing `text` under the localized caption.
HWND FindBox(const sim::ChildProcess& process, const char* text)
{
    return sim::FindProcessWindow(process.Id(), [text](HWND window) {
        char caption[128] = {};
        GetWindowTextA(window, caption, sizeof caption);
        return std::string(caption) == kCaption && FindWindowExA(window, nullptr, "Static", text) != nullptr;
    });
}

HWND WaitForBox(const sim::ChildProcess& process, const char* text)
{
    HWND box = nullptr;
    sim::WaitUntil([&] { return (box = FindBox(process, text)) != nullptr; }, kWaitMs);
    return box;
}

HWND DriverWindow()
{
    return FindWindowA("#32770", "Kelvado");
}

// Starts the driver, answers its calibration box and waits until the
// start-up has finished (its window thread answers again).
HWND StartDriver(const sim::ChildProcess& driver)
{
    HWND box = WaitForBox(driver, kNoCalibration);
    if (!box) return nullptr;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(box, WM_COMMAND, IDOK, 0, SMTO_NORMAL, kBoxAnswerMs, &answer);
    HWND window = DriverWindow();
    if (!window || !sim::WaitForAnswer(window, kWaitMs)) return nullptr;
    return window;
}

// Brelvin.exe and LINK.dll from beside the test, with a Language.ini of
// their own and no settings file.
class DriverStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(DriverWindow(), nullptr) << "another driver runs";
        ASSERT_TRUE(folder_.Ok());
        ASSERT_TRUE(folder_.CopyIn(sim::OwnFolder() + "Brelvin.exe", "Brelvin.exe"));
        ASSERT_TRUE(folder_.CopyIn(sim::OwnFolder() + "LINK.dll", "LINK.dll"));
        ASSERT_TRUE(folder_.Write("Language.ini", std::string("[String]\r\nIDS_CONNECTCAP=") + kCaption +
                                                      "\r\nIDS_SERRUNNING=" + kAlreadyRunning +
                                                      "\r\nIDS_GETPARAMFAIL=" + kNoCalibration + "\r\n"));
    }

    sim::ChildProcess StartCopy() const
    {
        return sim::ChildProcess::Start(folder_.File("Brelvin.exe"), folder_.Path());
    }

    sim::ScratchFolder folder_{sim::OwnFolder() + "scratch\\", "brelvin-start"};
};

TEST_F(DriverStartTest, RunsHiddenWithoutTaskbarButtonUntilClosed)
{
    const sim::ChildProcess driver = StartCopy();
    ASSERT_TRUE(driver);
    const HWND window = StartDriver(driver);
    ASSERT_NE(window, nullptr) << "no calibration box or no driver window";

    EXPECT_TRUE(sim::WaitUntil([&] { return !IsWindowVisible(window); }, kWaitMs));
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);

    // Enter does nothing; a close ends the program.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_COMMAND, IDOK, 0, SMTO_NORMAL, 5000, &answer);
    EXPECT_FALSE(driver.WaitForExit(200));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.WaitForExit(kEndMs));
}

TEST_F(DriverStartTest, StaysHiddenWhenTheCalibrationBoxOutlastsTheHideTimer)
{
    const sim::ChildProcess driver = StartCopy();
    ASSERT_TRUE(driver);
    HWND box = WaitForBox(driver, kNoCalibration);
    ASSERT_NE(box, nullptr);
    // The hide timer ticks while the box is still up.
    const HWND window = DriverWindow();
    ASSERT_NE(window, nullptr);
    Sleep(400);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(box, WM_COMMAND, IDOK, 0, SMTO_NORMAL, kBoxAnswerMs, &answer);
    ASSERT_TRUE(sim::WaitForAnswer(window, kWaitMs));

    EXPECT_TRUE(sim::WaitUntil([&] { return !IsWindowVisible(window); }, kWaitMs));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.WaitForExit(kEndMs));
}

TEST_F(DriverStartTest, SecondCopyShowsTheLocalizedBoxAndEnds)
{
    const sim::ChildProcess first = StartCopy();
    ASSERT_TRUE(first);
    const HWND window = StartDriver(first);
    ASSERT_NE(window, nullptr);

    const sim::ChildProcess second = StartCopy();
    ASSERT_TRUE(second);
    HWND box = WaitForBox(second, kAlreadyRunning);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(second.WaitForExit(0));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.WaitForExit(kEndMs));

    EXPECT_FALSE(first.WaitForExit(0));
    EXPECT_EQ(DriverWindow(), window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitForExit(kEndMs));
}

} // namespace
