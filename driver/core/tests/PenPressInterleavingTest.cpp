// Pen-button presses counted by the worker while the window thread's ticks
// take them: each interleaving still reports every press exactly once and
// completes each reported single press with one click.
#include "DriverFakes.h"
#include "WorkerFakes.h"
#include "TestInput.h"

#include "common/Messages.h"
#include "driver/SupervisionTimer.h"
#include "driver/TouchWorker.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace driver {
namespace {

using testing::kLeftDown;
using testing::PostedMessage;
using testing::RecordBuilder;

constexpr std::uintptr_t kFrontOnce = 1;
constexpr std::uintptr_t kFrontMore = 2;

class PenPressInterleavingTest : public ::testing::Test, protected testing::WorkerFakes {
protected:
    PenPressInterleavingTest()
    {
        desktop.AddWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
        pens.ifSetFNoT = 1; // the notification tells one press from more
        worker.Begin();
    }

    // The front button pressed and the pen lifted, as two records.
    void PressFront()
    {
        worker.Cycle(RecordBuilder().Event(8).Bytes(), calibration);
        worker.Cycle(RecordBuilder().Release(1).Bytes(), calibration);
    }
    // Fires armed timers in the order the window thread would meet them
    // (the shortest period first) until none is left.
    void RunTimers()
    {
        for (int guard = 0; guard < 20 && !desktop.armed.empty(); ++guard) {
            const auto next = std::min_element(desktop.armed.begin(), desktop.armed.end(),
                                               [](const auto& a, const auto& b) { return a.second < b.second; });
            timer.OnTick(next->first);
        }
        ASSERT_TRUE(desktop.armed.empty()) << "a timer keeps re-arming itself";
    }
    // Presses reported to the drawing application; "more" counts as two.
    int PressesReported() const
    {
        int presses = 0;
        for (const PostedMessage& post : desktop.posts) {
            if (post.message != msg::kPenButtonEvent) continue;
            presses += post.wParam == kFrontOnce ? 1 : post.wParam == kFrontMore ? 2 : 0;
        }
        return presses;
    }
    int DoubleClicks() const
    {
        const auto downs = std::count_if(desktop.mouseEvents.begin(), desktop.mouseEvents.end(),
                                         [](const testing::MouseEvent& e) { return e.flags == kLeftDown; });
        return static_cast<int>(downs / 2);
    }

    TouchWorker worker{{desktop, hook, state, nullptr, keys, socket, pipe, faults}};
    PenButtonSettings pens;
    SupervisionTimer timer{desktop, state, pens};
};

TEST_F(PenPressInterleavingTest, PressBetweenTheReportAndItsClickStartsAPeriodOfItsOwn)
{
    PressFront();
    timer.OnTick(kTimerPenAndBoardKeys);
    PressFront();
    EXPECT_EQ(desktop.armed.count(kTimerPenAndBoardKeys), 1u) << "the later press waits for no timer";
    RunTimers();
    EXPECT_EQ(PressesReported(), 2);
    EXPECT_EQ(DoubleClicks(), 2);
}

TEST_F(PenPressInterleavingTest, PressWhileTheReportTickKillsItsTimerIsReportedWithIt)
{
    PressFront();
    desktop.onKill = [this](unsigned id) {
        if (id != kTimerPenAndBoardKeys) return;
        desktop.onKill = nullptr;
        PressFront();
    };
    RunTimers();
    EXPECT_EQ(PressesReported(), 2);
    EXPECT_EQ(DoubleClicks(), 0) << "two presses in one period are a command of their own";
}

TEST_F(PenPressInterleavingTest, PressJustAfterTheCountsWereTakenIsReportedNextPeriod)
{
    PressFront();
    desktop.onPost = [this](const PostedMessage& post) {
        if (post.message != msg::kPenButtonEvent) return;
        desktop.onPost = nullptr;
        PressFront();
    };
    RunTimers();
    EXPECT_EQ(PressesReported(), 2);
    EXPECT_EQ(DoubleClicks(), 2);
}

TEST_F(PenPressInterleavingTest, PressWhileTheClickTickRunsIsNotWipedByIt)
{
    PressFront();
    desktop.onKill = [this](unsigned id) {
        if (id != kTimerSupervision) return;
        desktop.onKill = nullptr;
        PressFront();
    };
    RunTimers();
    EXPECT_EQ(PressesReported(), 2);
    EXPECT_EQ(DoubleClicks(), 2);
}

} // namespace
} // namespace driver
