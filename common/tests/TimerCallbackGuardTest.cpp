// The guard against forged timer messages on a thread's own loop: a timer
// message naming a callback becomes nothing, a plain tick passes, the
// notes hear of the first and then every tenfold count, and a guard made
// inside another leaves the outer one in charge.
#include "common/TimerCallbackGuard.h"
#include "testsupport/MessageWindow.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

int callbackCalls = 0;
void CALLBACK ForgedCallback(HWND, UINT, UINT_PTR, DWORD)
{
    ++callbackCalls;
}

class NotedCounts final : public common::DroppedTimerNotes {
public:
    void TimerCallbackDropped(unsigned count) override { counts.push_back(count); }
    std::vector<unsigned> counts;
};

// A window that notes the timer ticks that reach it.
class TickWindow {
public:
    TickWindow()
        : window_([this](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
              if (message == WM_TIMER) ticks.push_back(wParam);
              return std::nullopt;
          })
    {}

    HWND Handle() const { return window_.Handle(); }
    // Dispatches every message posted so far, the way a dialog's loop does.
    void Pump() { window_.Pump(); }

    std::vector<UINT_PTR> ticks;

private:
    testsupport::MessageWindow window_;
};

TEST(TimerCallbackGuard, TimerMessagesNamingACallbackBecomeNothingAndPlainTicksPass)
{
    TickWindow window;
    NotedCounts notes;
    callbackCalls = 0;
    const LPARAM callback = reinterpret_cast<LPARAM>(&ForgedCallback);
    {
        const common::TimerCallbackGuard guard(&notes);
        ASSERT_TRUE(guard.Active());
        PostMessageW(window.Handle(), WM_TIMER, 7, callback);
        PostMessageW(window.Handle(), common::kSystemTimerMessage, 8, callback);
        PostThreadMessageW(GetCurrentThreadId(), WM_TIMER, 9, callback);
        for (int n = 0; n < 9; ++n) PostMessageW(window.Handle(), WM_TIMER, 11, callback);
        PostMessageW(window.Handle(), WM_TIMER, 10, 0);
        window.Pump();
    }
    EXPECT_EQ(callbackCalls, 0);
    EXPECT_EQ(window.ticks, std::vector<UINT_PTR>{10}) << "a plain tick must still arrive";
    EXPECT_EQ(notes.counts, (std::vector<unsigned>{1, 10})) << "the first, then every tenfold count";
}

TEST(TimerCallbackGuard, AGuardInsideAnotherLeavesTheOuterInCharge)
{
    TickWindow window;
    NotedCounts outerNotes;
    NotedCounts innerNotes;
    callbackCalls = 0;
    const LPARAM callback = reinterpret_cast<LPARAM>(&ForgedCallback);
    const common::TimerCallbackGuard outer(&outerNotes);
    {
        const common::TimerCallbackGuard inner(&innerNotes);
        EXPECT_TRUE(inner.Active());
        PostMessageW(window.Handle(), WM_TIMER, 7, callback);
        window.Pump();
    }
    // The inner guard's end leaves the thread guarded.
    PostMessageW(window.Handle(), WM_TIMER, 7, callback);
    window.Pump();
    EXPECT_EQ(callbackCalls, 0);
    EXPECT_TRUE(innerNotes.counts.empty());
    EXPECT_EQ(outerNotes.counts, std::vector<unsigned>{1});
}

} // namespace
