// The guard against forged timer messages on a thread's own loop: a timer
// message naming a callback becomes nothing, a plain tick passes, the
// notes hear of the first and then every tenfold count, and a guard made
// inside another leaves the outer one in charge.
#include "common/TimerCallbackGuard.h"

#include <gtest/gtest.h>

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

// A window whose procedure notes the timer ticks that reach it.
class TickWindow {
public:
    TickWindow()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &TickWindow::Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TimerGuardTestWindow";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TickWindow() { DestroyWindow(window_); }
    TickWindow(const TickWindow&) = delete;
    TickWindow& operator=(const TickWindow&) = delete;

    HWND Handle() const { return window_; }

    // Dispatches every message posted so far, the way a dialog's loop does.
    void Pump()
    {
        PostMessageW(window_, kSentinel, 0, 0);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
            if (message.message == kSentinel) return;
        }
    }

    std::vector<UINT_PTR> ticks;

private:
    static constexpr UINT kSentinel = WM_APP + 1;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<TickWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_TIMER) self->ticks.push_back(wParam);
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
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
