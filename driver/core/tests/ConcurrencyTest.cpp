// The parts the window thread and the touch worker share, run from two
// threads at once (and under ThreadSanitizer in the tsan build): the
// channel slot, the fault-line queue, the pen counters between the
// worker's counting and the window thread's ticks, and the cursor the
// worker saves for the timer's click.
#include "DriverFakes.h"

#include "driver/ByteChannel.h"
#include "driver/DriverState.h"
#include "driver/FaultLineQueue.h"
#include "driver/SupervisionTimer.h"
#include "driver/TouchWorker.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace driver {
namespace {

// A channel that counts what reaches it and fails once closed.
class CountingChannel final : public ByteChannel {
public:
    std::atomic<int> writes{0};
    std::atomic<bool> destroyed{false};
    ~CountingChannel() override { destroyed = true; }
    bool Write(const std::uint8_t*, std::size_t) override
    {
        ++writes;
        return true;
    }
};

// A 20-character line naming its thread and its number.
std::string Numbered(char thread, int number)
{
    std::string line = std::string(1, thread) + std::to_string(number);
    line.resize(20, thread);
    return line;
}

TEST(Concurrency, ChannelsSwappedUnderAWritingWorkerAreNeverUsedAfterTheirEnd)
{
    ChannelSlot slot;
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    std::thread worker([&] {
        const std::uint8_t packet[8] = {};
        while (!stop) written += slot.Write(packet, sizeof packet) ? 1 : 0;
    });
    std::vector<std::weak_ptr<CountingChannel>> used;
    for (int n = 0; n < 2000; ++n) {
        auto channel = std::make_shared<CountingChannel>();
        used.push_back(channel);
        slot.Publish(channel);
        if (n % 3 == 0) slot.Withdraw();
    }
    // The last channel stays until the worker has written through it.
    auto last = std::make_shared<CountingChannel>();
    slot.Publish(last);
    for (int spins = 0; last->writes == 0 && spins < 10000000; ++spins) std::this_thread::yield();
    EXPECT_GT(last->writes, 0) << "the worker never wrote";
    last.reset();
    slot.Withdraw();
    stop = true;
    worker.join();
    for (const auto& channel : used) EXPECT_TRUE(channel.expired());
    EXPECT_GT(written, 0);
}

TEST(Concurrency, FaultLinesFromManyThreadsAreAllTakenWholeAndInOrderWhileThereIsRoom)
{
    // Each thread keeps at most its share of the ring waiting, so there is
    // always room: no line may be lost, however the threads meet.
    FaultLineQueue queue;
    constexpr int kThreads = 4;
    constexpr int kLines = 3000;
    constexpr int kShare = static_cast<int>(FaultLineQueue::kCapacity) / kThreads;
    std::array<std::atomic<int>, kThreads> takenOf{};
    std::atomic<int> producing{kThreads};
    std::atomic<unsigned> dropped{0};
    std::array<int, kThreads> nextExpected{};
    std::string firstWrongLine;
    std::thread writer([&] {
        for (;;) {
            const bool last = producing == 0;
            FaultLineQueue::Taken batch = queue.TakeAll();
            dropped += batch.dropped;
            for (const std::string& line : batch.lines) {
                const int thread = line.empty() ? -1 : line[0] - 'a';
                const bool known = thread >= 0 && thread < kThreads;
                if (!known || line != Numbered(line[0], nextExpected[thread])) {
                    if (firstWrongLine.empty()) firstWrongLine = line;
                    if (!known) continue;
                }
                ++nextExpected[thread];
                ++takenOf[thread];
            }
            if (last) return;
        }
    });
    std::vector<std::thread> producers;
    for (int t = 0; t < kThreads; ++t) {
        producers.emplace_back([&, t] {
            for (int n = 0; n < kLines; ++n) {
                // A lost line is never taken: stop waiting for it, the count shows it.
                while (n - takenOf[t] >= kShare && dropped == 0) std::this_thread::yield();
                queue.Note(Numbered(static_cast<char>('a' + t), n).c_str());
            }
            --producing;
        });
    }
    for (std::thread& producer : producers) producer.join();
    writer.join();
    EXPECT_EQ(dropped, 0u) << "lines were lost although the queue had room";
    EXPECT_EQ(firstWrongLine, "") << "a line torn or out of its thread's order";
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(takenOf[t], kLines) << "thread " << t;
}

TEST(Concurrency, AFullFaultLineQueueCountsWhatItCannotHold)
{
    FaultLineQueue queue;
    for (std::size_t n = 0; n < FaultLineQueue::kCapacity + 5; ++n) queue.Note(Numbered('a', static_cast<int>(n)).c_str());
    FaultLineQueue::Taken taken = queue.TakeAll();
    ASSERT_EQ(taken.lines.size(), FaultLineQueue::kCapacity);
    EXPECT_EQ(taken.lines.front(), Numbered('a', 0));
    EXPECT_EQ(taken.lines.back(), Numbered('a', static_cast<int>(FaultLineQueue::kCapacity) - 1));
    EXPECT_EQ(taken.dropped, 5u);
    // Taking made room again, and the count starts over.
    queue.Note("after");
    taken = queue.TakeAll();
    EXPECT_EQ(taken.lines, std::vector<std::string>{"after"});
    EXPECT_EQ(taken.dropped, 0u);
}

// A desktop that both threads may use at once: timers armed, posts counted.
class SharedDesktop final : public Desktop {
public:
    std::map<unsigned, unsigned> ArmedNow()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return armed_;
    }
    int PenReports()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return penReports_;
    }

    WindowRef FindWindowByClass(const char*, const char*) override { return 1; }
    void PostToWindow(WindowRef, unsigned message, std::uintptr_t, std::intptr_t) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        penReports_ += message == 0x07F4 ? 1 : 0;
    }
    std::intptr_t SendToWindow(WindowRef, unsigned, std::uintptr_t, std::intptr_t) override { return 0; }
    void InjectMouseEvent(std::uint32_t, int, int) override {}
    void SetCursorPosition(int, int) override {}
    ScreenPosition CursorPosition() override { return {10, 10}; }
    WindowRef ForegroundWindow() override { return 0; }
    ScreenSize PrimaryScreenSize() override { return {1024, 768}; }
    void StartDriverTimer(unsigned timerId, unsigned periodMs) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_[timerId] = periodMs;
    }
    void KillDriverTimer(unsigned timerId) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_.erase(timerId);
    }
    std::string ProgramFolder() override { return "C:\\Board\\"; }
    bool ProgramExists(const std::string&, const std::string&) override { return true; }
    void OpenProgram(const std::string&, const std::string&) override {}
    void SleepMs(unsigned) override {}
    std::uint32_t TickCount() override { return ++now_; }

private:
    std::mutex mutex_;
    std::map<unsigned, unsigned> armed_;
    int penReports_ = 0;
    std::atomic<std::uint32_t> now_{0};
};

// Every place the timer reads is one the worker saved: saves of (n, -n)
// never show as the x of one and the y of another, however they interleave.
TEST(Concurrency, TheSavedCursorIsReadAsOnePlaceWhileTheWorkerSavesAnother)
{
    SavedCursor cursor;
    cursor.Store({0, 0});
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int n = 1; n <= 200000; ++n) cursor.Store({n, -n});
        done = true;
    });
    long torn = 0, reads = 0;
    while (!done) {
        const ScreenPosition at = cursor.Load();
        if (at.x != -at.y) ++torn;
        ++reads;
    }
    worker.join();
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    EXPECT_EQ(cursor.Load(), (ScreenPosition{200000, -200000}));
}

TEST(Concurrency, PenPressesCountedWhileTheTicksRunAreNeverStranded)
{
    SharedDesktop desktop;
    testing::FakeHook hook;
    DriverState state;
    NoBoardKeys keys;
    ChannelSlot socket;
    ChannelSlot pipe;
    NoFaultLog faults;
    testing::FakeCalibration calibration;
    TouchWorker worker({desktop, hook, state, nullptr, keys, socket, pipe, faults});
    PenButtonSettings pens;
    pens.ifSetFNoT = 1;
    SupervisionTimer timer(desktop, state, pens);

    constexpr int kPresses = 3000;
    std::atomic<bool> pressing{true};
    std::thread pen([&] {
        worker.Begin();
        for (int n = 0; n < kPresses; ++n) {
            worker.Cycle(testing::RecordBuilder().Event(8).Bytes(), calibration);
            worker.Cycle(testing::RecordBuilder().Release(1).Bytes(), calibration);
        }
        pressing = false;
    });
    // The window thread: fires whatever is armed, as fast as it can.
    for (;;) {
        const bool stillPressing = pressing;
        const auto armed = desktop.ArmedNow();
        for (const auto& [timerId, period] : armed) timer.OnTick(timerId);
        if (!stillPressing && armed.empty()) break;
    }
    pen.join();
    for (const auto& [timerId, period] : desktop.ArmedNow()) timer.OnTick(timerId);
    EXPECT_EQ(state.frontPenPresses, 0) << "a press was left counted with no timer to report it";
    EXPECT_TRUE(desktop.ArmedNow().empty());
    EXPECT_GT(desktop.PenReports(), 0);
}

} // namespace
} // namespace driver
