// Other programs can post the driver anything. Messages that only the
// driver or the system should send — timer ticks, timer callbacks, the
// worker's timer requests, the pipe's news, the hook thread's press — must
// neither end the driver nor make it act, and the board still works after.
#include "DriverRun.h"

#include "common/Messages.h"
#include "common/UniqueHandle.h"
#include "sim/Waiting.h"

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace e2e {
namespace {

// Numbers the driver uses between its own threads; a program that learns
// them can post them too.
constexpr UINT kTimerRequestMessage = WM_APP + 0x210;
constexpr UINT kForwardingNewsMessage = WM_APP + 0x211;
constexpr UINT kHookPressMessage = WM_APP + 0x4C;
constexpr UINT kSystemTimerMessage = 0x0118;
constexpr WPARAM kPenAndKeysTimer = 67;
constexpr WPARAM kPenClickTimer = 114;
constexpr WPARAM kHookRefreshTimer = 1021;
constexpr const char* kForwardingPipe = "\\\\.\\Pipe\\Kelvado";

std::size_t LeftPresses(const std::vector<sim::MouseEvent>& events)
{
    std::size_t presses = 0;
    for (const sim::MouseEvent& event : events) presses += event.kind == sim::MouseKind::LeftDown;
    return presses;
}

// The threads of process `processId`.
std::vector<DWORD> ThreadsOf(DWORD processId)
{
    std::vector<DWORD> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return threads;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == processId) threads.push_back(entry.th32ThreadID);
    }
    CloseHandle(snapshot);
    return threads;
}

class ForgedMessages : public DriverRun {
protected:
    void StartDriver(const char* settings = "e2e-WBInit.ini")
    {
        ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{settings, false, true}));
    }

    // The driver still runs, answers posted messages, and a touch presses
    // and releases where it should.
    void ExpectTheBoardStillWorks()
    {
        ASSERT_TRUE(rig_.Driver().Running()) << "the driver has ended";
        ASSERT_EQ(AskSocketMode(), 0) << "the driver's window does not answer";
        const std::size_t before = InjectedEvents(rig_.MouseEvents()).size();
        ASSERT_NO_FATAL_FAILURE(PlayScript("down 1600 1200\nhold 1600 1200 3\nup 1600 1200\n"));
        std::vector<sim::MouseEvent> events;
        ASSERT_TRUE(sim::WaitUntil(
            [&] {
                const auto all = InjectedEvents(rig_.MouseEvents());
                events.assign(all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())), all.end());
                return ButtonSequence(events) == "ldown lup";
            },
            kWaitMs))
            << Describe(events);
        for (const sim::MouseEvent& event : events) {
            if (event.kind == sim::MouseKind::LeftDown) {
                EXPECT_TRUE(Near(event, ScreenX(1600), ScreenY(1200)));
            }
        }
    }
};

// The system's dispatch calls the lParam of a timer message as a callback;
// Wine does so without any check. The system's own functions lie at the same
// address in every process of one bitness, so a program can name one that
// ends the driver.
TEST_F(ForgedMessages, TimerMessagesWithACallbackAddressAreNeverDispatched)
{
    ASSERT_NO_FATAL_FAILURE(StartDriver());
    const auto exitProcess = reinterpret_cast<LPARAM>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "ExitProcess"));
    ASSERT_NE(exitProcess, 0);
    for (LPARAM address : {LPARAM(0x10), LPARAM(0x12345678), exitProcess}) {
        PostToDriver(WM_TIMER, kHookRefreshTimer, address);
        PostToDriver(WM_TIMER, 4242, address);
        PostToDriver(kSystemTimerMessage, 1, address);
    }
    ASSERT_NO_FATAL_FAILURE(ExpectTheBoardStillWorks());
}

// After "CvDriverSet" 10 the next pen press is reported without its click.
// A tick of the click timer posted by somebody else must not undo that.
TEST_F(ForgedMessages, ATickOfATimerTheDriverDidNotArmChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartDriver());
    SetCursorPos(300, 200);
    PostRegistered(msg::kRegisteredDriverSet, 10, 1);
    PostToDriver(WM_TIMER, kPenClickTimer, 0);
    PostToDriver(WM_TIMER, kPenAndKeysTimer, 0);
    // Two presses: the first is swallowed, the second clicks. Once the
    // second's double-click is there, the first's chance to click is over.
    ASSERT_NO_FATAL_FAILURE(PlayScript("event 8\nup 1600 1200\n"));
    ASSERT_TRUE(sim::WaitUntil(
        [&] {
            SyncDrawingApp();
            return CountMessages(rig_.DrawingAppMessages(), msg::kPenButtonEvent, 1, 0) == 1;
        },
        kWaitMs));
    ASSERT_NO_FATAL_FAILURE(PlayScript("event 8\nup 1600 1200\n"));
    ASSERT_TRUE(sim::WaitUntil(
        [&] {
            SyncDrawingApp();
            return CountMessages(rig_.DrawingAppMessages(), msg::kPenButtonEvent, 1, 0) == 2 &&
                   LeftPresses(InjectedEvents(rig_.MouseEvents())) >= 2;
        },
        kWaitMs))
        << Describe(InjectedEvents(rig_.MouseEvents()));
    EXPECT_EQ(LeftPresses(InjectedEvents(rig_.MouseEvents())), 2u) << "the swallowed press clicked";
    ASSERT_NO_FATAL_FAILURE(ExpectTheBoardStillWorks());
}

// The worker's timer requests are handed over inside the driver: the
// message that wakes the window carries nothing a forger could set.
TEST_F(ForgedMessages, AForgedTimerRequestCannotKillACountInProgress)
{
    ASSERT_NO_FATAL_FAILURE(StartDriver("e2e-keys-WBInit.ini"));
    PostToDriver(msg::kSetUseKey, 1, 1);
    // Board key 6 (counted key 3) pressed once, then a request to kill its
    // timer before the 500 ms period is over.
    ASSERT_NO_FATAL_FAILURE(PlayScript("down 1490 2080\nhold 1490 2080 2\nup 1490 2080\n"));
    PostToDriver(kTimerRequestMessage, kPenAndKeysTimer, 0);
    PostToDriver(kTimerRequestMessage, kHookRefreshTimer, 0);
    ASSERT_TRUE(sim::WaitUntil(
        [&] {
            SyncDrawingApp();
            return CountMessages(rig_.DrawingAppMessages(), msg::kBoardEvent, 19, 0) == 1;
        },
        kWaitMs))
        << "the counted press was never reported\n"
        << Log(sim::kDrawingAppLog);
    PostToDriver(msg::kSetUseKey, 1, 0);
    ASSERT_NO_FATAL_FAILURE(ExpectTheBoardStillWorks());
}

// While a forwarding run waits for its client the board keeps the mouse.
// News of the pipe that any program posts must neither hand the mouse over
// nor end the wait: the pipe is still there for a client afterwards.
TEST_F(ForgedMessages, ForgedPipeNewsNeitherEndsNorFakesAForwardingRun)
{
    ASSERT_NO_FATAL_FAILURE(StartDriver());
    PostToDriver(msg::kPipeForwardStart, 0, 8);
    for (WPARAM id = 0; id < 8; ++id) {
        PostToDriver(kForwardingNewsMessage, id, 0);
        PostToDriver(kForwardingNewsMessage, id, 1);
    }
    ASSERT_NO_FATAL_FAILURE(ExpectTheBoardStillWorks());
    const common::UniqueHandle client(
        CreateFileA(kForwardingPipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(client) << "the wait for a client had been ended by a forged message (error " << GetLastError() << ")";
    PostToDriver(msg::kPipeForwardEnd, 0, 1);
    ASSERT_NO_FATAL_FAILURE(ExpectTheBoardStillWorks());
}

// The hook library's thread re-makes a swallowed press on a message to
// itself; posted by anyone else it must inject nothing.
TEST_F(ForgedMessages, AForgedPressForTheHookThreadInjectsNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartDriver());
    const std::vector<DWORD> threads = ThreadsOf(rig_.Driver().Id());
    ASSERT_GE(threads.size(), 2u);
    for (DWORD thread : threads) PostThreadMessageA(thread, kHookPressMessage, 100, 100);
    // Every thread has had the time to act once the window answers and a
    // touch has come and gone.
    ASSERT_NO_FATAL_FAILURE(ExpectTheBoardStillWorks());
    for (const sim::MouseEvent& event : InjectedEvents(rig_.MouseEvents())) {
        EXPECT_FALSE(event.kind == sim::MouseKind::LeftDown && Near(event, 100, 100)) << "a forged press was injected";
    }
}

} // namespace
} // namespace e2e
