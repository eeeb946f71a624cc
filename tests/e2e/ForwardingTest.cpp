// Raw forwarding to the calibration program: the records reach its pipe as
// the camera service wrote them, the calibration key closes its window, and
// the end of a run reloads the calibration when asked to.
#include "DriverRun.h"

#include "common/Messages.h"
#include "sim/LogFiles.h"
#include "sim/TouchRecord.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <algorithm>
#include <sstream>

namespace e2e {
namespace {

// The calibration key (board key 12) of keys-WBInit.ini, in camera units.
constexpr int kCalibrationKeyX = 2810;
constexpr int kCalibrationKeyY = 2080;

std::string RecordHex(std::initializer_list<sim::PointSlot> slots)
{
    sim::TouchRecord record{};
    int index = 0;
    for (const sim::PointSlot& slot : slots) sim::PutSlot(record, index++, slot);
    return sim::ToHex(record);
}

struct RunEnd {
    long records = -1;
    long nonZero = -1;
    bool disconnected = false;
};

// "end <run> records <n> nonzero <k> disconnected|connected"
RunEnd ParseRunEnd(const std::string& line)
{
    std::istringstream words(line);
    std::string end, records, nonZero, state;
    int run = 0;
    RunEnd parsed;
    words >> end >> run >> records >> parsed.records >> nonZero >> parsed.nonZero >> state;
    parsed.disconnected = state == "disconnected";
    return parsed;
}

class Forwarding : public DriverRun {
protected:
    // The calibrator's records of `run` that are not the camera service's
    // start-up records, in the order they arrived.
    std::vector<std::string> TouchRecordsOfRun(int run) const
    {
        const std::string prefix = "record " + std::to_string(run) + " ";
        const std::string noOp = sim::ToHex(sim::MakeNoOpRecord());
        std::vector<std::string> records;
        for (const std::string& line : LinesStartingWith(sim::kCalibratorLog, prefix)) {
            const std::string hex = line.substr(prefix.size());
            if (hex != noOp) records.push_back(hex);
        }
        return records;
    }
    RunEnd WaitForRunEnd(int run) const
    {
        const std::string prefix = "end " + std::to_string(run) + " ";
        std::vector<std::string> ends;
        sim::WaitUntil([&] { return !(ends = LinesStartingWith(sim::kCalibratorLog, prefix)).empty(); }, kWaitMs);
        return ends.empty() ? RunEnd{} : ParseRunEnd(ends.front());
    }
    // The calibrator's last word on its script: done, or where it stopped.
    std::string WaitForScriptEnd(unsigned timeoutMs) const
    {
        std::string ending;
        sim::WaitUntil(
            [&] {
                for (const std::string& line : LinesStartingWith(sim::kCalibratorLog, "script ")) {
                    if (line.compare(0, 13, "script begin ") != 0) ending = line;
                }
                return !ending.empty();
            },
            timeoutMs);
        return ending;
    }
    void GoAhead() { ASSERT_TRUE(rig_.Folder().Write("go", "")); }
    void WaitForConnection(int run)
    {
        ASSERT_TRUE(WaitForLine(sim::kCalibratorLog, "connected " + std::to_string(run))) << Log(sim::kCalibratorLog);
    }
};

TEST_F(Forwarding, RecordsReachTheCalibratorAsWrittenAndDriveNoMouse)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{}));
    ASSERT_TRUE(rig_.StartCalibrator("start 0\nwait go\nend 0 1\n")) << rig_.Problem();
    ASSERT_NO_FATAL_FAILURE(WaitForConnection(1));

    const std::vector<std::string> written = {
        RecordHex({{1, 1600, 1200}}),
        RecordHex({{1, 1600, 1200}, {0, 0, 0}, {1, 0x0A0B, 0x0C0D}}),
        RecordHex({{2, 1700, 1250}, {1, 3200, 2400}, {2, 0x0A0B, 0x0C0D}, {1, 1, 2}}),
        RecordHex({{4, 0, 0}}), // a camera-kind report: forwarded, not acted on
        RecordHex({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {2, 65535, 65535}}),
    };
    std::string script;
    for (const std::string& hex : written) script += "raw " + hex + "\n";
    ASSERT_NO_FATAL_FAILURE(PlayScript(script));
    ASSERT_TRUE(sim::WaitUntil([&] { return TouchRecordsOfRun(1).size() >= written.size(); }, kWaitMs))
        << Log(sim::kCalibratorLog);
    ASSERT_NO_FATAL_FAILURE(GoAhead());
    const RunEnd end = WaitForRunEnd(1);

    EXPECT_EQ(TouchRecordsOfRun(1), written);
    // The block is read every cycle whether or not it was rewritten.
    EXPECT_GE(end.records - end.nonZero, 20) << Log(sim::kCalibratorLog);
    EXPECT_TRUE(end.disconnected) << "the driver kept the pipe connected after the end";
    SyncDrawingApp();
    EXPECT_EQ(CountMessages(rig_.DrawingAppMessages(), msg::kBoardEvent, 10, 2321), 0u)
        << "a forwarded camera report was acted on";
    EXPECT_TRUE(InjectedEvents(rig_.MouseEvents()).empty()) << Describe(InjectedEvents(rig_.MouseEvents()));
}

TEST_F(Forwarding, CalibrationKeyClosesTheCalibrationWindowUnlessForwardingIsPlain)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{"e2e-keys-WBInit.ini"}));
    ASSERT_TRUE(rig_.StartCalibrator("start 8\nwait go\nend 0 1\nstart 0\nwait go\nend 0 1\n")) << rig_.Problem();
    const std::string touch = "down " + std::to_string(kCalibrationKeyX) + " " + std::to_string(kCalibrationKeyY) +
                              "\nhold " + std::to_string(kCalibrationKeyX + 10) + " " +
                              std::to_string(kCalibrationKeyY) + " 2\nup " + std::to_string(kCalibrationKeyX) + " " +
                              std::to_string(kCalibrationKeyY) + "\n";

    ASSERT_NO_FATAL_FAILURE(WaitForConnection(1));
    ASSERT_NO_FATAL_FAILURE(PlayScript(touch));
    ASSERT_TRUE(sim::WaitUntil([&] { return TouchRecordsOfRun(1).size() >= 4; }, kWaitMs)) << Log(sim::kCalibratorLog);
    ASSERT_NO_FATAL_FAILURE(GoAhead());
    ASSERT_NO_FATAL_FAILURE(WaitForConnection(2));
    ASSERT_NO_FATAL_FAILURE(PlayScript(touch));
    ASSERT_TRUE(WaitForLine(sim::kCalibratorLog, "close 1 1")) << Log(sim::kCalibratorLog);
    ASSERT_TRUE(sim::WaitUntil([&] { return TouchRecordsOfRun(2).size() >= 4; }, kWaitMs));
    ASSERT_NO_FATAL_FAILURE(GoAhead());
    WaitForRunEnd(2);

    // One close, in the second run only: once per contact, and the plain
    // run's touch (whose close would have come before the second
    // connection) closed nothing.
    const std::vector<std::string> lines = sim::LogLines(rig_.File(sim::kCalibratorLog));
    const auto connected2 = std::find(lines.begin(), lines.end(), "connected 2");
    const auto close = std::find(lines.begin(), lines.end(), "close 1 1");
    EXPECT_LT(connected2, close) << Log(sim::kCalibratorLog);
    EXPECT_EQ(LinesStartingWith(sim::kCalibratorLog, "close ").size(), 1u) << Log(sim::kCalibratorLog);
    EXPECT_TRUE(InjectedEvents(rig_.MouseEvents()).empty());
}

TEST_F(Forwarding, EndReloadsTheCalibrationOnlyWhenAskedTo)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{}));
    ASSERT_NO_FATAL_FAILURE(CopyBeside("e2e-half-WBInit.ini", "half.ini"));
    ASSERT_TRUE(rig_.StartCalibrator("start 0\nwait go\nsettings half.ini\nend 0 1\n"
                                     "wait next\nstart 0\nwait go\nend 0 0\n"))
        << rig_.Problem();
    const std::string touch = "down 600 1200\nhold 600 1200 3\nup 600 1200\n";
    auto pressAt = [this](std::size_t nth) {
        std::vector<sim::MouseEvent> presses;
        WaitForEvents([&](const std::vector<sim::MouseEvent>& events) {
            presses.clear();
            for (const sim::MouseEvent& event : events) {
                if (event.kind == sim::MouseKind::LeftDown) presses.push_back(event);
            }
            return presses.size() >= nth;
        });
        return presses.size() >= nth ? presses[nth - 1] : sim::MouseEvent{};
    };

    // End (0, 1) after the grid was rewritten: the old grid stays.
    ASSERT_NO_FATAL_FAILURE(WaitForConnection(1));
    ASSERT_NO_FATAL_FAILURE(GoAhead());
    WaitForRunEnd(1);
    ASSERT_EQ(sim::FindLogLine(rig_.File(sim::kCalibratorLog), "settings "), "settings half.ini");
    ASSERT_NO_FATAL_FAILURE(PlayScript(touch));
    const sim::MouseEvent oldGrid = pressAt(1);
    EXPECT_TRUE(Near(oldGrid, ScreenX(600), ScreenY(1200))) << Describe(InjectedEvents(rig_.MouseEvents()));
    EXPECT_EQ(CountMessages(rig_.CameraServiceMessages(), msg::kCalibrationReloaded, 0, 0), 0u);

    // End (0, 0): reloaded, the camera service told, later touches mapped
    // through the new grid.
    ASSERT_TRUE(rig_.Folder().Write("next", ""));
    ASSERT_NO_FATAL_FAILURE(WaitForConnection(2));
    ASSERT_NO_FATAL_FAILURE(GoAhead());
    WaitForRunEnd(2);
    ASSERT_TRUE(WaitForLine(sim::kCameraServiceLog, "msg 32870 0 0")) << Log(sim::kCameraServiceLog);
    ASSERT_NO_FATAL_FAILURE(PlayScript(touch));
    const sim::MouseEvent newGrid = pressAt(2);
    EXPECT_TRUE(Near(newGrid, ScreenX(1200), ScreenY(1200))) << Describe(InjectedEvents(rig_.MouseEvents()));
}

TEST_F(Forwarding, SixtyRunsInOneDriverRunAllConnectAndReceiveRecords)
{
    constexpr int kRuns = 60;
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{}));
    ASSERT_TRUE(rig_.StartCalibrator("repeat 60\nstart 0\nrecords 3\nend 0 1\ndone\n")) << rig_.Problem();
    ASSERT_EQ(WaitForScriptEnd(sim::kScriptTimeoutMs), "script done") << Log(sim::kCalibratorLog);

    const std::vector<std::string> ends = LinesStartingWith(sim::kCalibratorLog, "end ");
    ASSERT_EQ(ends.size(), static_cast<std::size_t>(kRuns)) << Log(sim::kCalibratorLog);
    for (const std::string& line : ends) {
        const RunEnd end = ParseRunEnd(line);
        EXPECT_GE(end.records, 3) << line;
        EXPECT_TRUE(end.disconnected) << line;
    }
    EXPECT_EQ(LinesStartingWith(sim::kCalibratorLog, "connected ").size(), static_cast<std::size_t>(kRuns));
}

} // namespace
} // namespace e2e
