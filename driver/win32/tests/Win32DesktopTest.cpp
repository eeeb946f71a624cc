// The driver's desktop over the real API: timers the worker asks for are
// handed over inside the process and the window knows which it armed;
// sends to a program that hangs are bounded; programs start by full path
// or not at all.
#include "Win32Desktop.h"

#include "common/UniqueHandle.h"
#include "driver/DriverState.h"
#include "driver/FaultLineQueue.h"
#include "sim/Waiting.h"
#include "testsupport/MessageWindow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

// A window on the test's thread that notes the timers and the timer
// requests reaching it, and hands the requests to the desktop as the
// driver's window does.
class NotingWindow {
public:
    NotingWindow()
        : window_([this](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
              if (message == WM_TIMER) timerTicks.push_back(wParam);
              if (message == brelvin::kDriverTimerRequest) {
                  ++requests;
                  if (desktop) desktop->ApplyTimerRequests();
              }
              return std::nullopt;
          })
    {}

    HWND Handle() const { return window_.Handle(); }
    const std::string& ClassName() const { return window_.ClassName(); }
    void Pump() { window_.Pump(); }
    bool PumpUntil(const std::function<bool()>& done) { return window_.PumpUntil(done); }

    std::vector<UINT_PTR> timerTicks;
    int requests = 0;
    brelvin::Win32Desktop* desktop = nullptr;

private:
    testsupport::MessageWindow window_;
};

std::vector<std::string> Lines(driver::FaultLineQueue& faults)
{
    return faults.TakeAll().lines;
}

TEST(Win32Desktop, TheWorkersTimerRequestsWaitInsideTheProcessAndOnlyArmedTimersCount)
{
    driver::FaultLineQueue faults;
    brelvin::Win32Desktop desktop(faults);
    NotingWindow window;
    window.desktop = &desktop;
    desktop.AttachDriverWindow(window.Handle());

    // A request from another thread: posted as a bare wake-up.
    std::thread worker([&] { desktop.StartDriverTimer(driver::kTimerPenAndBoardKeys, 300); });
    worker.join();
    EXPECT_FALSE(desktop.TimerArmed(driver::kTimerPenAndBoardKeys)) << "armed before the window thread saw it";
    ASSERT_TRUE(window.PumpUntil([&] { return desktop.TimerArmed(driver::kTimerPenAndBoardKeys); }));
    ASSERT_TRUE(window.PumpUntil([&] { return !window.timerTicks.empty(); }));
    EXPECT_EQ(window.timerTicks.front(), static_cast<UINT_PTR>(driver::kTimerPenAndBoardKeys));

    // Killed on the window thread: no longer armed.
    desktop.KillDriverTimer(driver::kTimerPenAndBoardKeys);
    EXPECT_FALSE(desktop.TimerArmed(driver::kTimerPenAndBoardKeys));

    // Another program's request message names nothing and arms nothing.
    const int requestsBefore = window.requests;
    PostMessageA(window.Handle(), brelvin::kDriverTimerRequest, driver::kTimerPenAndBoardKeys, 10);
    PostMessageA(window.Handle(), brelvin::kDriverTimerRequest, 555, 10);
    ASSERT_TRUE(window.PumpUntil([&] { return window.requests == requestsBefore + 2; }));
    EXPECT_FALSE(desktop.TimerArmed(driver::kTimerPenAndBoardKeys));
    EXPECT_FALSE(desktop.TimerArmed(555));

    // The worker asks only for the counting timers.
    std::thread stranger([&] { desktop.StartDriverTimer(driver::kTimerHookRefresh, 1); });
    stranger.join();
    window.Pump();
    EXPECT_FALSE(desktop.TimerArmed(driver::kTimerHookRefresh));

    // On the window thread a timer starts at once.
    desktop.StartDriverTimer(driver::kTimerSupervision, 80);
    EXPECT_TRUE(desktop.TimerArmed(driver::kTimerSupervision));
    desktop.KillDriverTimer(driver::kTimerSupervision);
}

// The worker counts a press and asks for its timer while the window thread
// is busy for longer than the period: once the window thread gets to the
// request, the timer is due at once rather than a whole period later.
TEST(Win32Desktop, ATimerRequestedWhileTheWindowIsBusyCountsItsPeriodFromTheRequest)
{
    driver::FaultLineQueue faults;
    brelvin::Win32Desktop desktop(faults);
    NotingWindow window;
    window.desktop = &desktop;
    desktop.AttachDriverWindow(window.Handle());

    constexpr unsigned kPeriodMs = 300;
    std::thread worker([&] { desktop.StartDriverTimer(driver::kTimerPenAndBoardKeys, kPeriodMs); });
    worker.join();
    // The window thread busy elsewhere, as with a peer slow to answer a send.
    const DWORD requested = GetTickCount();
    while (GetTickCount() - requested <= kPeriodMs + 100) Sleep(10);

    ASSERT_TRUE(window.PumpUntil([&] { return desktop.TimerArmed(driver::kTimerPenAndBoardKeys); }));
    // A timer armed now with half the period must come second.
    constexpr UINT_PTR kLaterTimer = 999;
    SetTimer(window.Handle(), kLaterTimer, kPeriodMs / 2, nullptr);
    ASSERT_TRUE(window.PumpUntil([&] { return window.timerTicks.size() >= 2; }));
    KillTimer(window.Handle(), kLaterTimer);
    desktop.KillDriverTimer(driver::kTimerPenAndBoardKeys);
    EXPECT_EQ(window.timerTicks.front(), static_cast<UINT_PTR>(driver::kTimerPenAndBoardKeys))
        << "the counting window began when the window thread got to it, not at the press";
}

// A window whose thread answers only at three times the send's bound: the
// send must have given up (and noted it) before then, unless the driver
// ended it first.
TEST(Win32Desktop, ASendToAWindowThatDoesNotAnswerGivesUpAtItsBoundAndIsNoted)
{
    constexpr DWORD kSendBoundMs = 1000;
    driver::FaultLineQueue faults;
    brelvin::Win32Desktop desktop(faults);
    std::atomic<HWND> hung{nullptr};
    std::string hungClass;
    const common::UniqueHandle answer(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread owner([&] {
        NotingWindow window;
        hungClass = window.ClassName();
        hung = window.Handle();
        WaitForSingleObject(answer.Get(), 3 * kSendBoundMs);
        window.Pump(); // answers the send, if it still waits
    });
    ASSERT_TRUE(sim::WaitUntil([&] { return hung.load() != nullptr; }, 5000, 1));
    desktop.SendToWindow(reinterpret_cast<driver::WindowRef>(hung.load()), WM_USER + 5, 0, 0);
    SetEvent(answer.Get());
    owner.join();
    const auto lines = Lines(faults);
    ASSERT_EQ(lines.size(), 1u) << "the send waited until the window answered";
    EXPECT_NE(lines[0].find(hungClass), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("0x0405"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("1000 ms"), std::string::npos) << lines[0];
}

TEST(Win32Desktop, AProgramMissingFromItsFolderStartsNothingAndIsNoted)
{
    driver::FaultLineQueue faults;
    brelvin::Win32Desktop desktop(faults);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    desktop.OpenProgram(temp, "NoSuchProgram_" + std::to_string(GetCurrentProcessId()) + ".exe");
    const auto lines = Lines(faults);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("is missing from"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(temp), std::string::npos) << lines[0];
}

} // namespace
