// The camera service's faults and its real-time camera, with the test in the
// driver's place: what a fault scenario relies on is what the stand-in does.
#include "BlockReader.h"
#include "Waits.h"
#include "common/Messages.h"
#include "sim/BoardRig.h"
#include "sim/LineLog.h"
#include "sim/LogFiles.h"
#include "sim/ScratchFolder.h"
#include "sim/StandInMessages.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

namespace sim {
namespace {

// The camera service's exit code when a script makes it crash.
constexpr unsigned long kDiedExitCode = 3;

bool WindowAnswers(HWND window, unsigned ms)
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, ms, &answer) != 0;
}

class FaultyCameraService : public ::testing::Test {
protected:
    FaultyCameraService()
        : folder_(OwnFolder() + "scratch\\", "faulty")
    {}
    ~FaultyCameraService() override { service_.Terminate(); }

    void SetUp() override
    {
        ASSERT_TRUE(reader_.Ok());
        reader_.Consume();
    }

    void Start(const std::string& script)
    {
        ASSERT_TRUE(folder_.CopyIn(OwnFolder() + wnd::kCameraServiceProgram, wnd::kCameraServiceProgram));
        ASSERT_TRUE(folder_.Write(kScriptFile, script));
        service_ = ChildProcess::Start(folder_.File(wnd::kCameraServiceProgram), folder_.Path());
        ASSERT_TRUE(service_);
        window_ = WaitForWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, kWaitMs);
        ASSERT_NE(window_, nullptr);
    }
    bool WaitForLine(const std::string& line) const
    {
        return WaitForLogLine(folder_.File(kCameraServiceLog), line, kWaitMs);
    }
    std::vector<std::string> Log() const { return LogLines(folder_.File(kCameraServiceLog)); }
    std::string LogText() const { return ReadWholeFile(folder_.File(kCameraServiceLog)); }
    int LinesStartingWith(const std::string& prefix) const
    {
        return CountLinesStartingWith(folder_.File(kCameraServiceLog), prefix);
    }

    ScratchFolder folder_;
    BlockReader reader_;
    ChildProcess service_;
    HWND window_ = nullptr;
};

TEST_F(FaultyCameraService, RealtimeCameraOverwritesUnreadRecordsAtItsFrameRate)
{
    constexpr int kFrames = 12;
    constexpr long long kPeriodUs = 1000000 / 50;
    std::string script = "realtime 50\n";
    for (int x = 1; x <= kFrames; ++x) script += "down " + std::to_string(x) + " 0\n";
    script += "pause 300\nrealtime 0\ndown 99 0\n";
    ASSERT_NO_FATAL_FAILURE(Start(script));

    // Watched, never consumed: the camera goes on all the same.
    std::vector<std::pair<int, long long>> seen; // x and when it was first seen
    WaitUntil(
        [&] {
            const int x = SlotAt(reader_.Peek(), 0).x;
            if (x != 0 && (seen.empty() || seen.back().first != x)) seen.emplace_back(x, NowMicroseconds());
            return x == 99;
        },
        kWaitMs, 1);
    ASSERT_GE(seen.size(), 3u);
    ASSERT_EQ(seen.back().first, 99) << "the camera waited for a reader";
    seen.pop_back();
    EXPECT_EQ(seen.back().first, kFrames);
    for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_GT(seen[i].first, seen[i - 1].first);
    // At the frame rate, not as fast as the block can be written.
    const long long span = seen.back().second - seen.front().second;
    const int frames = seen.back().first - seen.front().first;
    EXPECT_GE(span, frames * kPeriodUs * 7 / 10) << frames << " frames in " << span << " us";

    // Back to waiting: the last record waits for the reader, then the end.
    EXPECT_TRUE(FindLogLine(folder_.File(kCameraServiceLog), "script done").empty());
    EXPECT_EQ(SlotAt(reader_.Consume(), 0).x, 99);
    EXPECT_TRUE(WaitForLine("script done " + std::to_string(kFrames + 1))) << LogText();
}

TEST_F(FaultyCameraService, LoopsReplayTheirRecordsInOrder)
{
    ASSERT_NO_FATAL_FAILURE(Start("loop 3\ndown 1 1\nloop 2\nup 2 2\nendloop\nendloop\nevent 8\n"));
    std::vector<int> xs;
    for (int i = 0; i < 10; ++i) xs.push_back(SlotAt(reader_.Next(), 0).x);
    EXPECT_EQ(xs, (std::vector<int>{1, 2, 2, 1, 2, 2, 1, 2, 2, 0}));
    EXPECT_TRUE(WaitForLine("script done 10")) << LogText();
}

TEST_F(FaultyCameraService, DieEndsTheProcessMidScriptWithoutItsGoodbye)
{
    ASSERT_NO_FATAL_FAILURE(Start("down 1 1\ndie\ndown 2 2\n"));
    EXPECT_EQ(SlotAt(reader_.Next(), 0).x, 1);
    ASSERT_TRUE(service_.WaitForExit(kWaitMs));
    EXPECT_EQ(service_.ExitCode(), kDiedExitCode);
    EXPECT_EQ(FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption), nullptr);
    const std::vector<std::string> log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "script die") << LogText();
    EXPECT_TRUE(IsConsumed(reader_.Peek())) << "a record after the crash was written";
}

TEST_F(FaultyCameraService, DieHoldingLockLeavesTheMutexAbandoned)
{
    ASSERT_NO_FATAL_FAILURE(Start("down 1 1\ndie-holding-lock\n"));
    EXPECT_EQ(SlotAt(reader_.Next(), 0).x, 1);
    ASSERT_TRUE(service_.WaitForExit(kWaitMs));
    EXPECT_EQ(service_.ExitCode(), kDiedExitCode);
    EXPECT_EQ(Log().back(), "script die-holding-lock");
    EXPECT_EQ(reader_.TryLock(1000), static_cast<DWORD>(WAIT_ABANDONED));
    // Once had, the mutex is an ordinary one again.
    EXPECT_EQ(reader_.TryLock(0), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST_F(FaultyCameraService, HangLockKeepsTheMutexForItsTimeThenGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(Start("hang-lock 400\ndown 5 5\nhang-lock\n"));
    ASSERT_TRUE(WaitForLine("script hang-lock")) << LogText();
    EXPECT_EQ(reader_.TryLock(50), static_cast<DWORD>(WAIT_TIMEOUT));
    // Given back after its time: the next record comes.
    EXPECT_EQ(SlotAt(reader_.Next(), 0).x, 5);
    // Without a time it holds until the process ends; a close ends it too.
    ASSERT_TRUE(WaitUntil([&] { return LinesStartingWith("script hang-lock") == 2; }, kWaitMs)) << LogText();
    EXPECT_EQ(reader_.TryLock(300), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(WindowAnswers(window_, 1000)) << "holding the lock hung the window";
    PostMessageA(window_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(service_.WaitForExit(kWaitMs));
    EXPECT_EQ(reader_.TryLock(1000), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST_F(FaultyCameraService, HangWindowStopsAnsweringForItsTime)
{
    ASSERT_NO_FATAL_FAILURE(Start("hang-window 1500\ndown 3 3\n"));
    ASSERT_TRUE(WaitUntil([&] { return !WindowAnswers(window_, 100); }, kWaitMs)) << "the window kept answering";
    // Only the window hangs: the player goes on.
    EXPECT_EQ(SlotAt(reader_.Next(), 0).x, 3);
    EXPECT_TRUE(WaitUntil([&] { return WindowAnswers(window_, 100); }, kWaitMs)) << "the window never woke";
    // The hang request is the stand-in's own business: not in the log.
    for (const std::string& line : Log()) EXPECT_EQ(line.find("msg "), std::string::npos) << line;
}

TEST_F(FaultyCameraService, HangWindowWithoutTimeLastsUntilKilled)
{
    ASSERT_NO_FATAL_FAILURE(Start("hang-window\n"));
    ASSERT_TRUE(WaitUntil([&] { return !WindowAnswers(window_, 100); }, kWaitMs));
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(service_.WaitForExit(1000)) << "a hung window handled WM_CLOSE";
    service_.Terminate();
    EXPECT_FALSE(service_.Running());
}

TEST_F(FaultyCameraService, HangOnLogsTheMessageThenBlocksAndAwaitSeesIt)
{
    ASSERT_NO_FATAL_FAILURE(Start("hang-on 32870\ndown 6 6\nawait 32870 20000\ndown 7 7\n"));
    // The first record comes after the hang is armed.
    EXPECT_EQ(SlotAt(reader_.Next(), 0).x, 6);
    // Other messages are answered as always; the chosen one hangs the window.
    DWORD_PTR answer = 1;
    EXPECT_NE(SendMessageTimeoutA(window_, msg::kServiceRelease, 0, 0, SMTO_BLOCK, 2000, &answer), 0u);
    EXPECT_TRUE(IsConsumed(reader_.Peek())) << "await went on before its message";
    PostMessageA(window_, msg::kCalibrationReloaded, 0, 0);
    ASSERT_TRUE(WaitForLine("msg 32870 0 0")) << LogText();
    EXPECT_FALSE(WindowAnswers(window_, 300)) << "the window answered after the hang message";
    EXPECT_EQ(SlotAt(reader_.Next(), 0).x, 7);
    EXPECT_TRUE(WaitForLine("script done 2")) << LogText();
    EXPECT_FALSE(WindowAnswers(window_, 300));
}

TEST_F(FaultyCameraService, AwaitTakesOneArrivalEachAndGivesUpInTime)
{
    ASSERT_NO_FATAL_FAILURE(Start("await 33000\ndown 1 1\nawait 33000\ndown 2 2\nawait 33000 300\ndown 3 3\n"));
    // Two arrivals, even before the first await, satisfy two awaits.
    PostMessageA(window_, 33000, 0, 0);
    PostMessageA(window_, 33000, 0, 0);
    EXPECT_EQ(SlotAt(reader_.Next(), 0).x, 1);
    EXPECT_EQ(SlotAt(reader_.Next(), 0).x, 2);
    EXPECT_TRUE(WaitForLine("script timeout line 5")) << LogText();
    EXPECT_TRUE(IsConsumed(reader_.Peek()));
}

} // namespace
} // namespace sim
