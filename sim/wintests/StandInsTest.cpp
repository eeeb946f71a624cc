// The stand-ins on their own, with the test in the driver's place.
#include "BlockReader.h"
#include "Waits.h"
#include "common/AbsoluteCoordinate.h"
#include "common/Messages.h"
#include "sim/BoardRig.h"
#include "sim/LineLog.h"
#include "sim/LogFiles.h"
#include "sim/SharedTouchBlock.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace sim {
namespace {

class StandInsTest : public ::testing::Test {
protected:
    StandInsTest()
        : folder_(OwnFolder() + "scratch\\", "standins")
    {}

    ChildProcess StartProgram(const std::string& name)
    {
        EXPECT_TRUE(folder_.CopyIn(OwnFolder() + name, name)) << name;
        return ChildProcess::Start(folder_.File(name), folder_.Path());
    }

    std::vector<std::string> Log(const char* name) const { return LogLines(folder_.File(name)); }

    ScratchFolder folder_;
};

TEST_F(StandInsTest, CameraServiceWaitsForEachRecordToBeConsumed)
{
    BlockReader reader;
    ASSERT_TRUE(reader.Ok());
    reader.Consume();
    ASSERT_TRUE(folder_.Write(kScriptFile, "down 1600 1200\nrec 0 0 0 2 7 8\nevent 8\n"));
    ChildProcess service = StartProgram(wnd::kCameraServiceProgram);
    ASSERT_TRUE(service);

    const TouchRecord first = reader.Next();
    EXPECT_EQ(ToHex(first), "0106400"
                            "4B0"
                            "000000000000000000000000000000");
    // Nothing new is written while the block still holds a record.
    ASSERT_TRUE(WaitUntil([&] { return !IsConsumed(reader.Peek()); }, kWaitMs, 1));
    const TouchRecord held = reader.Peek();
    EXPECT_FALSE(WaitUntil([&] { return reader.Peek() != held; }, 50, 1));
    const TouchRecord second = reader.Consume();
    EXPECT_EQ(SlotAt(second, 1).status, status::kRelease);
    EXPECT_EQ(SlotAt(second, 1).x, 7);
    EXPECT_EQ(SlotAt(second, 1).y, 8);
    EXPECT_EQ(reader.Next()[0], status::kFrontPenButton);

    EXPECT_TRUE(WaitForLogLine(folder_.File(kCameraServiceLog), "script done 3", kWaitMs));
    PostMessageA(FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption), WM_CLOSE, 0, 0);
    EXPECT_TRUE(service.WaitForExit(kWaitMs));
    const auto log = Log(kCameraServiceLog);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "start");
    EXPECT_EQ(log.back(), "exit");
}

TEST_F(StandInsTest, CameraServiceStampsAreInPlaceWhenTheScriptEnds)
{
    BlockReader reader;
    ASSERT_TRUE(reader.Ok());
    reader.Consume();
    ASSERT_TRUE(folder_.Write(kScriptFile, "down 1 1\nstamp\nhold 2 2 3\n"));
    ChildProcess service = StartProgram(wnd::kCameraServiceProgram);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(IsConsumed(reader.Next())) << i;
    ASSERT_TRUE(WaitForLogLine(folder_.File(kCameraServiceLog), "script done 4", kWaitMs));
    // Read at once: whoever sees the outcome line finds the stamps complete.
    const auto stamps = LogLines(folder_.File("ZorvikSrv.stamps"));
    ASSERT_EQ(stamps.size(), 3u); // only the records after "stamp"
    for (const std::string& line : stamps) {
        long long written = 0, consumed = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lld %lld", &written, &consumed), 2) << line;
        EXPECT_LE(written, consumed);
    }
    PostMessageA(FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption), WM_CLOSE, 0, 0);
    EXPECT_TRUE(service.WaitForExit(kWaitMs));
}

TEST_F(StandInsTest, CameraServiceLogsApplicationMessagesAndAnswersSentOnes)
{
    ChildProcess service = StartProgram(wnd::kCameraServiceProgram);
    HWND window = WaitForWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, kWaitMs);
    ASSERT_NE(window, nullptr);
    const UINT registered = RegisterWindowMessageA(msg::kRegisteredOk);
    EXPECT_EQ(SendMessageA(window, msg::kCalibrationReloaded, 3, 4), 0);
    EXPECT_EQ(SendMessageA(window, registered, 5, 6), 0);
    PostMessageA(window, msg::kServiceRelease, 0, 0);
    PostMessageA(window, WM_USER + 1, 7, 8);
    PostMessageA(window, WM_TIMER + 0, 1, 0); // below WM_USER: not logged
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(service.WaitForExit(kWaitMs));

    const auto log = Log(kCameraServiceLog);
    const std::vector<std::string> expected = {
        "start", "msg 32870 3 4", "msg " + std::to_string(registered) + " 5 6", "msg 32869 0 0", "msg 1025 7 8", "exit",
    };
    EXPECT_EQ(log, expected);
}

TEST_F(StandInsTest, CameraServiceReportsScriptMistakesAndUnconsumedRecords)
{
    ASSERT_TRUE(folder_.Write(kScriptFile, "down 1 1\nfly away\n"));
    {
        ChildProcess service = StartProgram(wnd::kCameraServiceProgram);
        EXPECT_TRUE(
            WaitForLogLine(folder_.File(kCameraServiceLog), "script error line 2: unknown command 'fly'", kWaitMs));
        PostMessageA(WaitForWindow(wnd::kCameraServiceClass, nullptr, kWaitMs), WM_CLOSE, 0, 0);
        EXPECT_TRUE(service.WaitForExit(kWaitMs));
    }
    BlockReader reader;
    reader.Consume();
    ASSERT_TRUE(folder_.Write(kScriptFile, "timeout 30\n\ndown 1 1\ndown 2 2\n"));
    ChildProcess service = StartProgram(wnd::kCameraServiceProgram);
    EXPECT_TRUE(WaitForLogLine(folder_.File(kCameraServiceLog), "script timeout line 3", kWaitMs));
    EXPECT_EQ(SlotAt(reader.Consume(), 0).x, 1); // the second record was never written
    PostMessageA(WaitForWindow(wnd::kCameraServiceClass, nullptr, kWaitMs), WM_CLOSE, 0, 0);
    EXPECT_TRUE(service.WaitForExit(kWaitMs));
}

TEST_F(StandInsTest, CameraServiceStopsAWaitingScriptOnClose)
{
    ASSERT_TRUE(folder_.Write(kScriptFile, "driver 600000\ndown 1 1\n"));
    ChildProcess service = StartProgram(wnd::kCameraServiceProgram);
    ASSERT_TRUE(WaitForLogLine(folder_.File(kCameraServiceLog), "script begin 1", kWaitMs));
    PostMessageA(WaitForWindow(wnd::kCameraServiceClass, nullptr, kWaitMs), WM_CLOSE, 0, 0);
    ASSERT_TRUE(service.WaitForExit(kWaitMs));
    const auto log = Log(kCameraServiceLog);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "script stopped 0");
    EXPECT_EQ(log.back(), "exit");
}

TEST_F(StandInsTest, DrawingAppLogsEveryMessage)
{
    ChildProcess app = StartProgram(kDrawingAppProgram);
    HWND window = WaitForWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption, kWaitMs);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, msg::kBoardEvent, 10, 2321);
    PostMessageA(window, WM_NULL, 1, 2);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.WaitForExit(kWaitMs));
    const auto log = Log(kDrawingAppLog);
    const auto has = [&](const std::string& line) { return std::find(log.begin(), log.end(), line) != log.end(); };
    EXPECT_TRUE(has("msg 2034 10 2321"));
    EXPECT_TRUE(has("msg 0 1 2"));
    EXPECT_TRUE(has("msg 16 0 0")); // WM_CLOSE itself
    EXPECT_EQ(log.front(), "start");
    EXPECT_EQ(log.back(), "exit");
}

TEST_F(StandInsTest, RecorderSeesInjectedEventsWithTheirPositions)
{
    ChildProcess recorder = StartProgram(kRecorderProgram);
    ASSERT_TRUE(WaitForLogLine(folder_.File(kRecorderLog), "ready", kWaitMs));
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(width, 0);
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN,
                static_cast<DWORD>(common::AbsoluteCoordinate(300, width)),
                static_cast<DWORD>(common::AbsoluteCoordinate(200, height)), 0, 0);
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);

    std::vector<MouseEvent> events;
    ASSERT_TRUE(WaitUntil(
        [&] {
            events.clear();
            for (const std::string& line : Log(kRecorderLog)) {
                if (auto event = ParseMouseLine(line)) events.push_back(*event);
            }
            return std::any_of(events.begin(), events.end(),
                               [](const MouseEvent& e) { return e.kind == MouseKind::LeftUp; });
        },
        kWaitMs));
    const auto down =
        std::find_if(events.begin(), events.end(), [](const MouseEvent& e) { return e.kind == MouseKind::LeftDown; });
    ASSERT_NE(down, events.end());
    EXPECT_EQ(down->x, 300);
    EXPECT_EQ(down->y, 200);
    EXPECT_TRUE(down->injected);
    for (std::size_t i = 1; i < events.size(); ++i) {
        EXPECT_GE(events[i].microseconds, events[i - 1].microseconds);
    }
    PostMessageA(FindWindowA(kRecorderClass, nullptr), WM_CLOSE, 0, 0);
    EXPECT_TRUE(recorder.WaitForExit(kWaitMs));
}

} // namespace
} // namespace sim
