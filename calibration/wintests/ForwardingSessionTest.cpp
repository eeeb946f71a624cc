// A forwarding session against the real driver and the stand-ins: the
// records the camera service plays arrive, the end reloads the calibration
// only after a save, every way a run fails ends with its own error within
// its bound, and the driver's close of "ULDlg" on the calibration key ends
// the run with the mouse given back.
#include "ProbeWindow.h"

#include "DriverRun.h"

#include "common/Messages.h"
#include "common/SupportLogFile.h"
#include "common/UniqueHandle.h"
#include "sim/ChildProcess.h"
#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"
#include "sim/TouchRecord.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace calibration_e2e {
namespace {

using calibration::ForwardingBounds;
using calibration::ForwardingError;
using calibration::RunOutcome;
using calibration::WindowEvent;
using State = calibration::ForwardingSession::State;

// The calibration key (board key 12) of e2e-keys-WBInit.ini, in camera units.
constexpr int kCalibrationKeyX = 2810;
constexpr int kCalibrationKeyY = 2080;
// What a bound may be overshot by on a loaded machine under Wine.
constexpr DWORD kSlackMs = 1500;

std::string Hex(const calibration::RawRecord& record)
{
    sim::TouchRecord copy{};
    std::copy(record.begin(), record.end(), copy.begin());
    return sim::ToHex(copy);
}

std::string RecordHex(std::initializer_list<sim::PointSlot> slots)
{
    sim::TouchRecord record{};
    int index = 0;
    for (const sim::PointSlot& slot : slots) sim::PutSlot(record, index++, slot);
    return sim::ToHex(record);
}

ForwardingBounds ShortBounds()
{
    ForwardingBounds bounds;
    bounds.pipeWaitMs = 1000;
    bounds.reader.silenceMs = 500;
    return bounds;
}

class KalmenoForwarding : public e2e::DriverRun {
protected:
    // The records that carry something, in the order they came.
    std::vector<std::string> PlayedRecords() const
    {
        const std::string noOp = sim::ToHex(sim::MakeNoOpRecord());
        const std::string empty = sim::ToHex(sim::TouchRecord{});
        std::vector<std::string> played;
        for (const calibration::RawRecord& record : probe_.Records()) {
            const std::string hex = Hex(record);
            if (hex != noOp && hex != empty) played.push_back(hex);
        }
        return played;
    }
    std::size_t ReloadNotices() const
    {
        return e2e::CountMessages(rig_.CameraServiceMessages(), msg::kCalibrationReloaded, 0, 0);
    }
    // Waits until a session fails (one more failure than before); the time
    // it took from `since`.
    DWORD WaitForFailure(DWORD since)
    {
        const std::size_t before = probe_.Failures().size();
        probe_.PumpUntil([&] { return probe_.Failures().size() > before; }, e2e::kWaitMs);
        return GetTickCount() - since;
    }

    ProbeWindow probe_;
};

TEST_F(KalmenoForwarding, ReceivesThePlayedRecordsAndTheEndReloadsOnlyAfterASave)
{
    ASSERT_TRUE(probe_.Ok());
    ASSERT_NO_FATAL_FAILURE(StartIdle(e2e::PeerSetup{}));
    const std::size_t logBefore = sim::ReadWholeFile(common::SupportLogFile::DefaultPath()).size();
    ASSERT_EQ(probe_.Session().Begin(), ForwardingError::None);
    EXPECT_EQ(probe_.Session().CurrentState(), State::Forwarding);

    const std::vector<std::string> written = {
        RecordHex({{1, 1600, 1200}}),
        RecordHex({{1, 1700, 1250}, {0, 0, 0}, {1, 0x0A0B, 0x0C0D}}),
        RecordHex({{2, 1700, 1250}, {2, 0x0A0B, 0x0C0D}}),
    };
    std::string script;
    for (const std::string& hex : written) script += "raw " + hex + "\n";
    ASSERT_NO_FATAL_FAILURE(PlayScript(script));
    ASSERT_TRUE(probe_.PumpUntil([&] { return PlayedRecords().size() >= written.size(); }, e2e::kWaitMs))
        << probe_.Records().size() << " records";
    EXPECT_EQ(PlayedRecords(), written);
    EXPECT_TRUE(probe_.Failures().empty());
    EXPECT_TRUE(e2e::InjectedEvents(rig_.MouseEvents()).empty()) << "the board drove the mouse while forwarding";

    // Cancelled, then saved: only the save has the driver reload the
    // calibration and tell the camera service (the driver handles the two
    // ends in order, so one notice in all is the second run's).
    probe_.Session().End(RunOutcome::Cancelled);
    EXPECT_EQ(probe_.Session().CurrentState(), State::Ended);
    probe_.NewSession();
    ASSERT_EQ(probe_.Session().Begin(), ForwardingError::None);
    probe_.Session().End(RunOutcome::Saved);
    EXPECT_TRUE(WaitForLine(sim::kCameraServiceLog, "msg 32870 0 0")) << Log(sim::kCameraServiceLog);
    EXPECT_EQ(ReloadNotices(), 1u);
    // Each run's end reached the driver before the session let go of the
    // pipe: no run ended as one whose client vanished.
    const std::string log = sim::ReadWholeFile(common::SupportLogFile::DefaultPath()).substr(logBefore);
    EXPECT_EQ(log.find("Forwarding ended"), std::string::npos) << log;
}

// Without the real driver: none at all, a driver window that offers no pipe,
// and a pipe that connects but brings nothing.
TEST_F(KalmenoForwarding, NoDriverNoPipeAndNoRecordsEachFailWithinTheirBound)
{
    ASSERT_TRUE(probe_.Ok());
    DWORD started = GetTickCount();
    EXPECT_EQ(probe_.Session().Begin(), ForwardingError::DriverNotRunning);
    EXPECT_LT(GetTickCount() - started, 1000u);
    EXPECT_EQ(probe_.Session().CurrentState(), State::Failed);

    ASSERT_TRUE(rig_.Folder().CopyIn(sim::BuiltPath(SIM_DRIVER_WINDOW_EXE), "SimDriverWindow.exe"));
    sim::ChildProcess silent = sim::ChildProcess::Start(rig_.File("SimDriverWindow.exe"), rig_.Folder().Path());
    ASSERT_TRUE(silent);
    ASSERT_TRUE(WaitForLine("Kelvado.log", "ready"));
    probe_.NewSession(ShortBounds());
    started = GetTickCount();
    EXPECT_EQ(probe_.Session().Begin(), ForwardingError::PipeNotOffered);
    const DWORD took = GetTickCount() - started;
    EXPECT_GE(took, ShortBounds().pipeWaitMs);
    EXPECT_LT(took, ShortBounds().pipeWaitMs + kSlackMs);
    // Asked with lParam 0, and told that the run is over without a reload.
    EXPECT_TRUE(WaitForLine("Kelvado.log", "msg 1092 0 1")) << Log("Kelvado.log");
    EXPECT_NE(Log("Kelvado.log").find("msg 1091 0 0"), std::string::npos) << Log("Kelvado.log");

    // A pipe that connects and stays silent, as a driver whose worker hangs.
    common::UniqueHandle server(CreateNamedPipeA(channel::kForwardingPipe, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                                 PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0, 0, 1000,
                                                 nullptr));
    ASSERT_TRUE(server);
    common::UniqueHandle connected(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED connect = {};
    connect.hEvent = connected.Get();
    ConnectNamedPipe(server.Get(), &connect);
    probe_.NewSession(ShortBounds());
    ASSERT_EQ(probe_.Session().Begin(), ForwardingError::None);
    started = GetTickCount();
    const DWORD silentFor = WaitForFailure(started);
    ASSERT_EQ(probe_.Failures(), std::vector<ForwardingError>{ForwardingError::RecordsStopped});
    EXPECT_LT(silentFor, ShortBounds().reader.silenceMs + kSlackMs);
    EXPECT_EQ(probe_.Session().Error(), ForwardingError::RecordsStopped);
    probe_.Session().End(RunOutcome::Cancelled);
    CancelIoEx(server.Get(), &connect);
    DWORD ignored = 0;
    GetOverlappedResult(server.Get(), &connect, &ignored, TRUE);
}

TEST_F(KalmenoForwarding, APipeBrokenMidRunAndAVanishedDriverEachEndWithTheirError)
{
    ASSERT_TRUE(probe_.Ok());
    ASSERT_NO_FATAL_FAILURE(StartIdle(e2e::PeerSetup{}));
    const ForwardingBounds bounds;

    // Another program asks for the records: the driver ends this run.
    ASSERT_EQ(probe_.Session().Begin(), ForwardingError::None);
    ASSERT_TRUE(probe_.PumpUntil([&] { return !probe_.Records().empty(); }, e2e::kWaitMs));
    DWORD started = GetTickCount();
    PostToDriver(msg::kPipeForwardStart, 0, 0);
    DWORD took = WaitForFailure(started);
    ASSERT_EQ(probe_.Failures(), std::vector<ForwardingError>{ForwardingError::PipeBroken});
    EXPECT_LT(took, bounds.reader.driverExitGraceMs + kSlackMs);
    probe_.Session().End(RunOutcome::Cancelled);

    // The driver ends while a run holds its records.
    probe_.NewSession();
    ASSERT_EQ(probe_.Session().Begin(), ForwardingError::None);
    const std::size_t before = probe_.Records().size();
    ASSERT_TRUE(probe_.PumpUntil([&] { return probe_.Records().size() > before; }, e2e::kWaitMs));
    started = GetTickCount();
    rig_.Driver().Terminate();
    took = WaitForFailure(started);
    ASSERT_EQ(probe_.Failures(), (std::vector<ForwardingError>{ForwardingError::PipeBroken,
                                                                ForwardingError::DriverGone}));
    EXPECT_LT(took, bounds.reader.driverExitGraceMs + kSlackMs);
    started = GetTickCount();
    probe_.Session().End(RunOutcome::Cancelled);
    EXPECT_LT(GetTickCount() - started, 1000u) << "ending a run of a driver that is gone waits for nothing";
}

TEST_F(KalmenoForwarding, TheCalibrationKeyClosesTheWindowAndTheEndGivesTheMouseBack)
{
    ASSERT_TRUE(probe_.Ok());
    ASSERT_NO_FATAL_FAILURE(StartIdle(e2e::PeerSetup{"e2e-keys-WBInit.ini"}));
    ASSERT_EQ(probe_.Session().Begin(), ForwardingError::None);

    const std::string key = std::to_string(kCalibrationKeyX) + " " + std::to_string(kCalibrationKeyY);
    ASSERT_NO_FATAL_FAILURE(PlayScript("down " + key + "\nhold " + key + " 2\nup " + key + "\n"));
    ASSERT_TRUE(probe_.PumpUntil([&] { return !probe_.Events().empty(); }, e2e::kWaitMs));
    EXPECT_EQ(probe_.Events(), std::vector<WindowEvent>{WindowEvent::CalibrationKey});
    EXPECT_TRUE(calibration::CancelsCalibration(probe_.Events().front()));
    EXPECT_GE(probe_.TouchRecords(), 2u) << "the key's touch came as records";
    EXPECT_TRUE(e2e::InjectedEvents(rig_.MouseEvents()).empty());

    // The window cancels as at Escape; a touch afterwards is the mouse's.
    probe_.Session().End(RunOutcome::Cancelled);
    ASSERT_NO_FATAL_FAILURE(PlayScript("down 600 1200\nhold 600 1200 3\nup 600 1200\n"));
    const auto events = WaitForEvents(
        [](const std::vector<sim::MouseEvent>& e) { return e2e::ButtonSequence(e) == "ldown lup"; });
    ASSERT_EQ(e2e::ButtonSequence(events), "ldown lup") << e2e::Describe(events);
    for (const sim::MouseEvent& event : events) {
        EXPECT_TRUE(e2e::Near(event, e2e::ScreenX(600), e2e::ScreenY(1200))) << e2e::Describe(events);
    }

    // A change of the monitors reaches the window as its own event.
    PostMessageA(probe_.Handle(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    ASSERT_TRUE(probe_.PumpUntil([&] { return probe_.Events().size() == 2; }, e2e::kWaitMs));
    EXPECT_EQ(probe_.Events().back(), WindowEvent::DisplayChanged);
    EXPECT_TRUE(calibration::CancelsCalibration(WindowEvent::DisplayChanged));
}

} // namespace
} // namespace calibration_e2e
