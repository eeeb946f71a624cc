// The worker thread against a real shared block: records the service writes
// reach the core, failed reads count as empty records, Stop really ends the
// polling, and a worker stuck in its cycle holds up the stop 2 s at most.
#include "ShareMemory.h"
#include "TouchThread.h"

#include "driver/BoardKeyTest.h"
#include "driver/CalibrationStore.h"
#include "driver/FaultLineQueue.h"
#include "driver/TouchWorker.h"
#include "sim/Waiting.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

namespace {

class QuietDesktop final : public driver::Desktop {
public:
    std::atomic<int> posts{0};
    std::atomic<int> mouseEvents{0};

    driver::WindowRef FindWindowByClass(const char*, const char*) override { return 0; }
    void PostToWindow(driver::WindowRef, unsigned, std::uintptr_t, std::intptr_t) override { ++posts; }
    std::intptr_t SendToWindow(driver::WindowRef, unsigned, std::uintptr_t, std::intptr_t) override { return 0; }
    void InjectMouseEvent(std::uint32_t, int, int) override { ++mouseEvents; }
    void SetCursorPosition(int, int) override {}
    driver::ScreenPosition CursorPosition() override { return {}; }
    driver::WindowRef ForegroundWindow() override { return 0; }
    driver::ScreenSize PrimaryScreenSize() override { return {1024, 768}; }
    void StartDriverTimer(unsigned, unsigned) override {}
    void KillDriverTimer(unsigned) override {}
    std::string ProgramFolder() override { return ".\\"; }
    bool ProgramExists(const std::string&, const std::string&) override { return false; }
    void OpenProgram(const std::string&, const std::string&) override {}
    void SleepMs(unsigned) override {}
    std::uint32_t TickCount() override { return GetTickCount(); }
};

// The close's bound on waiting for the worker.
constexpr DWORD kStopBoundMs = 2000;

class CountingHook final : public driver::HookControl {
public:
    std::atomic<int> lastSwitch{-1};
    std::atomic<int> rearPenNotices{0};
    // When set before the worker starts, switching the help on holds the
    // worker's cycle until the event is set, or three times the stop bound.
    HANDLE stall = nullptr;
    std::atomic<bool> stalled{false};

    void SetDoubleTapHelp(bool on) override
    {
        if (on && stall) {
            stalled = true;
            WaitForSingleObject(stall, 3 * kStopBoundMs);
        }
        lastSwitch = on ? 1 : 0;
    }
    void RearPenButtonSeen() override { ++rearPenNotices; }
    void Refresh() override {}
};

// How long the worker gets to show a record's effect; it looks every 1 ms.
constexpr unsigned kWaitMs = 5000;
constexpr unsigned kPollMs = 1;

class TouchThreadTest : public ::testing::Test {
protected:
    TouchThreadTest()
        : name("BrelvinTestFeed_" + std::to_string(GetCurrentProcessId()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name()),
          worker(driver::TouchWorkerDeps{desktop, hook, state, [this] { return store.Current(); }, keys, socket, pipe,
                                         faults})
    {}

    // Writes as the camera service does and waits until the driver took it.
    bool Feed(const std::uint8_t (&record)[20])
    {
        common::UniqueHandle mutex(OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, (name + "Mtx").c_str()));
        common::UniqueHandle mapping(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str()));
        if (!mutex || !mapping) return false;
        common::UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 20));
        if (!view) return false;
        auto* bytes = static_cast<volatile std::uint8_t*>(view.Get());
        WaitForSingleObject(mutex.Get(), INFINITE);
        for (int i = 0; i < 20; ++i) bytes[i] = record[i];
        ReleaseMutex(mutex.Get());
        return sim::WaitUntil(
            [&] {
                WaitForSingleObject(mutex.Get(), INFINITE);
                const bool taken = bytes[0] == 0;
                ReleaseMutex(mutex.Get());
                return taken;
            },
            kWaitMs, kPollMs);
    }

    std::string name;
    QuietDesktop desktop;
    CountingHook hook;
    driver::DriverState state;
    driver::CalibrationStore store;
    driver::NoBoardKeys keys;
    driver::ChannelSlot socket;
    driver::ChannelSlot pipe;
    driver::FaultLineQueue faults;
    driver::TouchWorker worker;
    brelvin::CShareMemory block;
};

TEST_F(TouchThreadTest, RecordsWrittenIntoTheBlockReachTheWorker)
{
    ASSERT_EQ(block.Create(name.c_str(), 20, 0, PAGE_READWRITE, nullptr), 0u);
    brelvin::TouchThread thread(block, worker, faults);
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(sim::WaitUntil([&] { return hook.lastSwitch == 1; }, kWaitMs, kPollMs));

    const std::uint8_t cameraKindTwo[20] = {4};
    ASSERT_TRUE(Feed(cameraKindTwo));
    EXPECT_TRUE(
        sim::WaitUntil([&] { return state.cameraKind == 2 && state.connectNoticeSent == 1; }, kWaitMs, kPollMs));

    const std::uint8_t rearPen[20] = {9};
    ASSERT_TRUE(Feed(rearPen));
    EXPECT_TRUE(
        sim::WaitUntil([&] { return hook.rearPenNotices == 1 && state.rearPenPresses == 1; }, kWaitMs, kPollMs));
    thread.Stop();
}

TEST_F(TouchThreadTest, WithoutABlockEveryCycleIsEmptyAndTheHookGoesIdle)
{
    // Never created: each read fails and must not replay anything.
    brelvin::TouchThread thread(block, worker, faults);
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(sim::WaitUntil(
        [&] { return state.idleCount > driver::DriverState::kIdleCycles && hook.lastSwitch == 0; }, 10000, kPollMs));
    EXPECT_EQ(desktop.mouseEvents, 0);
    EXPECT_EQ(state.cameraKind, 0);
    thread.Stop();
}

TEST_F(TouchThreadTest, StopEndsPollingBeforeTheBlockIsClosed)
{
    ASSERT_EQ(block.Create(name.c_str(), 20, 0, PAGE_READWRITE, nullptr), 0u);
    {
        brelvin::TouchThread thread(block, worker, faults);
        ASSERT_TRUE(thread.Start());
        ASSERT_TRUE(sim::WaitUntil([&] { return state.idleCount > 3; }, kWaitMs, kPollMs));
        thread.Stop();
        EXPECT_FALSE(thread.Running());
    }
    const int idleAfterStop = state.idleCount;
    // A record written now stays in the block: nobody polls any more.
    common::UniqueHandle mapping(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str()));
    ASSERT_TRUE(mapping);
    common::UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 20));
    ASSERT_TRUE(view);
    static_cast<std::uint8_t*>(view.Get())[0] = 4;
    std::uint8_t out[20] = {};
    ASSERT_EQ(block.Read(out, sizeof out, 0), 0u);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(state.idleCount, idleAfterStop);
    block.Close();
}

// A camera service that hangs holding the block's lock: the worker's reads
// time out and count as empty, so it keeps cycling, and says so once.
TEST_F(TouchThreadTest, ALockHeldByAHungServiceNeitherStopsTheWorkerNorFloodsTheLog)
{
    ASSERT_EQ(block.Create(name.c_str(), 20, 0, PAGE_READWRITE, nullptr), 0u);
    brelvin::TouchThread thread(block, worker, faults);
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(sim::WaitUntil([&] { return hook.lastSwitch == 1; }, kWaitMs, kPollMs));

    common::UniqueHandle held(OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, (name + "Mtx").c_str()));
    ASSERT_TRUE(held);
    ASSERT_EQ(WaitForSingleObject(held.Get(), INFINITE), WAIT_OBJECT_0);
    std::vector<std::string> lines;
    auto collect = [&] {
        for (std::string& line : faults.TakeAll().lines) lines.push_back(std::move(line));
    };
    const int idleAtHold = state.idleCount;
    EXPECT_TRUE(sim::WaitUntil([&] { return state.idleCount > idleAtHold + 20; }, kWaitMs, kPollMs))
        << "the worker stopped with the lock";
    collect();
    ReleaseMutex(held.Get());
    EXPECT_TRUE(sim::WaitUntil(
        [&] {
            collect();
            return lines.size() >= 2;
        },
        kWaitMs, kPollMs));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("held the touch block's lock"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("let go"), std::string::npos) << lines[1];

    const std::uint8_t cameraKindOne[20] = {3};
    ASSERT_TRUE(Feed(cameraKindOne));
    EXPECT_TRUE(sim::WaitUntil([&] { return state.cameraKind == 1; }, kWaitMs, kPollMs));
    thread.Stop();
}

// A cycle that does not end (the worker stuck in a call): the close waits
// for it 2 s, notes it and goes on without it; the thread is remembered, not
// forgotten, and ends once its cycle does.
TEST_F(TouchThreadTest, AWorkerStuckInItsCycleIsLeftAfterTwoSecondsAndNoted)
{
    ASSERT_EQ(block.Create(name.c_str(), 20, 0, PAGE_READWRITE, nullptr), 0u);
    const common::UniqueHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    hook.stall = release.Get();
    brelvin::TouchThread thread(block, worker, faults);
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(sim::WaitUntil([&] { return hook.stalled.load(); }, kWaitMs, kPollMs));

    const bool stopped = thread.Stop();
    SetEvent(release.Get());
    EXPECT_FALSE(stopped) << "the stop waited for the stuck cycle until it ended";
    EXPECT_TRUE(thread.Running());
    const std::vector<std::string> lines = faults.TakeAll().lines;
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("did not stop within 2000 ms"), std::string::npos) << lines[0];

    EXPECT_TRUE(thread.Stop()) << "the thread did not end once its cycle had";
    hook.stall = nullptr;
    brelvin::TouchThread next(block, worker, faults);
    ASSERT_TRUE(next.Start());
    // Fed only once the new worker cycles: a record written before it is
    // dropped as one the service wrote before the driver was ready.
    ASSERT_TRUE(sim::WaitUntil([&] { return state.idleCount > 0; }, kWaitMs, kPollMs));
    const std::uint8_t cameraKindOne[20] = {3};
    ASSERT_TRUE(Feed(cameraKindOne));
    EXPECT_TRUE(sim::WaitUntil([&] { return state.cameraKind == 1; }, kWaitMs, kPollMs));
    next.Stop();
}

} // namespace
