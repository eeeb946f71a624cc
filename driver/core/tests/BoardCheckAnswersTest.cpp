// The driver's answers to the board check: what it says about the
// calibration, the routing and the contacts it saw, and how a recording is
// armed, refused while one runs, and written once complete.
#include "CalibrationGridWriter.h"
#include "CalibrationMemoryProfile.h"
#include "DriverFakes.h"

#include "common/BoardStatus.h"
#include "driver/BoardCheckAnswers.h"
#include "driver/BoardScreen.h"
#include "driver/TimerIds.h"

#include <gtest/gtest.h>

namespace driver {
namespace {

using calibration_testing::MemoryProfile;
using calibration_testing::WriteRegularGrid;
using testing::RecordBuilder;

class FakeStorage final : public RecordingStorage {
public:
    std::string SettingsText() override { return settingsText; }
    std::string settingsText = "[hardware]\r\nUSE_KEY=1\r\n";
    std::string LocalTime() override { return "2026-05-01 10:22:03"; }
    std::string Save(const std::string& text) override
    {
        saved.push_back(text);
        return fail ? std::string() : "C:\\records\\Recording-1.script";
    }
    std::vector<std::string> saved;
    bool fail = false;
};

class BoardCheckAnswersTest : public ::testing::Test {
protected:
    BoardCheckAnswersTest()
    {
        WriteRegularGrid(settings, 3, 3, 0, 0, 3200, 2400);
        calibration.Reload(settings, BoardScreen::PrimaryOnly({1024, 768}));
    }

    void Cycle(const RecordBuilder& record)
    {
        const CalibrationModelView view(*calibration.Current());
        watch.OnCycle(record.Bytes(), view, desktop.now, RecordRoute::Mouse);
        desktop.now += 2;
    }

    testing::FakeDesktop desktop;
    DriverState state;
    CalibrationStore calibration;
    MemoryProfile settings;
    WorkerWatch watch;
    ChannelSlot socket;
    FakeStorage storage;
    testing::RecordingFaultLog faults;
    BoardCheckAnswers answers{{desktop, state, calibration, watch, socket, storage, faults}, DriverFacts{}};
};

// The monitor as the last load resolved it: another monitor by its device
// and place, or the primary screen standing in for one that is not there.
TEST_F(BoardCheckAnswersTest, TellsTheBoardsMonitorAsResolved)
{
    common::DisplayLayout layout = common::SingleMonitorLayout(1024, 768);
    const common::PixelRect left{-1280, 0, 0, 800};
    layout.monitors.push_back({"\\\\.\\DISPLAY2", left, left, false});
    layout.virtualScreen = layout.physicalVirtualScreen = {-1280, 0, 1024, 800};
    calibration.Reload(settings, PlaceBoard(common::ParseMonitorChoice("secondary"), layout, {1024, 768}).screen);
    common::BoardStatus status = answers.Status();
    EXPECT_EQ(status.monitor, "\\\\.\\DISPLAY2");
    EXPECT_EQ(status.monitorLeft, -1280);
    EXPECT_EQ(status.monitorWidth, 1280);
    EXPECT_EQ(status.screenWidth, 1280);

    const common::DisplayLayout alone = common::SingleMonitorLayout(1024, 768);
    calibration.Reload(settings, PlaceBoard(common::ParseMonitorChoice("secondary"), alone, {1024, 768}).screen);
    status = common::ParseBoardStatus(common::FormatBoardStatus(answers.Status()));
    EXPECT_EQ(status.monitor, "primary-instead-of-secondary");
    EXPECT_EQ(status.monitorWidth, 1024);
}

TEST_F(BoardCheckAnswersTest, TellsTheCalibrationTheRoutingAndWhereContactsLanded)
{
    state.socketRouting = SocketRouting::PairSplit;
    state.forwarding = ForwardingState::AwaitingClient;
    state.boardKeysEnabled = 1;
    EXPECT_TRUE(answers.Status().contacts.empty()); // the first request arms the watch
    Cycle(RecordBuilder().Contact(0, 1600, 1200).Contact(2, 3300, 100));
    desktop.now += 500;
    const common::BoardStatus status = answers.Status();
    EXPECT_TRUE(status.calibrationLoaded);
    EXPECT_EQ(status.gridColumns, 3);
    EXPECT_EQ(status.screenWidth, 1024);
    EXPECT_EQ(status.monitor, "primary");
    EXPECT_EQ(status.monitorHeight, 768);
    EXPECT_EQ(status.socketRouting, "pair-split");
    EXPECT_EQ(status.forwarding, "awaiting-client");
    EXPECT_TRUE(status.boardKeys);
    EXPECT_EQ(status.records, 1u);
    EXPECT_EQ(status.lastContactMs, 502);
    ASSERT_EQ(status.contacts.size(), 2u);
    EXPECT_TRUE(status.contacts[0].onScreen);
    EXPECT_NEAR(status.contacts[0].screenX, 512, 1);
    EXPECT_NEAR(status.contacts[0].screenY, 384, 1);
    EXPECT_EQ(status.contacts[1].slot, 2);
    EXPECT_FALSE(status.contacts[1].onScreen); // beyond the camera's width
    EXPECT_EQ(status.recording, "idle");

    MemoryProfile broken;
    broken.WriteString("coordinate", "wdot", "1");
    calibration.Reload(broken, BoardScreen::PrimaryOnly({1024, 768}));
    const common::BoardStatus failed = answers.Status();
    EXPECT_FALSE(failed.calibrationLoaded);
    EXPECT_FALSE(failed.calibrationProblem.empty());
}

// The calibration program's last check, read from the file as it is at the
// request: a record with a verdict the driver does not know is none at all.
TEST_F(BoardCheckAnswersTest, TellsTheLastCalibrationCheckAsTheFileHoldsIt)
{
    EXPECT_TRUE(answers.Status().calibrationCheck.empty());
    storage.settingsText += "[CalibrationCheck]\r\nVERDICT=recalibrate\r\nWORST_PX=12.5\r\nCHECKED=2026-05-01 10:00:00\r\n";
    const common::BoardStatus checked = common::ParseBoardStatus(common::FormatBoardStatus(answers.Status()));
    EXPECT_EQ(checked.calibrationCheck, "recalibrate");
    EXPECT_EQ(checked.calibrationCheckWorstPx, "12.5");
    EXPECT_EQ(checked.calibrationCheckAt, "2026-05-01 10:00:00");
    storage.settingsText = "[CalibrationCheck]\r\nVERDICT=\r\nWORST_PX=3\r\n";
    EXPECT_EQ(common::FormatBoardStatus(answers.Status()).find("calibration-check"), std::string::npos);
}

// The smoothing the worker was last started with, in the support log's words
// (the fixed blend has no numbers), and when the settings were read.
TEST_F(BoardCheckAnswersTest, TellsTheSmoothingTheWorkerRunsWithAndWhenTheSettingsWereRead)
{
    DriverFacts facts;
    facts.startedAt = "2026-05-01 08:00:00";
    answers.UpdateFacts(facts);
    common::BoardStatus status = common::ParseBoardStatus(common::FormatBoardStatus(answers.Status()));
    EXPECT_EQ(status.smoothing, "fixed");
    EXPECT_TRUE(status.smoothingParameters.empty());
    EXPECT_EQ(status.settingsReads, 1u);
    EXPECT_EQ(status.settingsReadAt, "2026-05-01 08:00:00");

    answers.NoteSettingsRead();
    facts.filter.mode = FilterMode::Adaptive;
    facts.filter.oneEuro.beta = 0.25;
    facts.filter.oneEuro.stillSpeed = 150;
    answers.UpdateFacts(facts);
    status = common::ParseBoardStatus(common::FormatBoardStatus(answers.Status()));
    EXPECT_EQ(status.smoothing, "adaptive");
    EXPECT_EQ(status.smoothingParameters, "MIN_CUTOFF=0.5 BETA=0.25 DERIVATIVE_CUTOFF=0.7 STILL_SPEED=150");
    EXPECT_EQ(status.settingsReads, 2u);
    EXPECT_EQ(status.settingsReadAt, storage.LocalTime());
}

TEST_F(BoardCheckAnswersTest, ARecordingIsRefusedWhileOneRunsAndWrittenOnceComplete)
{
    EXPECT_EQ(answers.Record(2).recording, "waiting");
    ASSERT_EQ(desktop.armed.count(kTimerRecording), 1u);
    EXPECT_EQ(answers.Record(2).recording, "busy");
    Cycle(RecordBuilder().Contact(0, 100, 100));
    EXPECT_EQ(answers.Status().recording, "recording");
    EXPECT_TRUE(answers.OnRecordingTimer());
    desktop.now += 2000;
    Cycle(RecordBuilder());
    EXPECT_FALSE(answers.OnRecordingTimer());
    EXPECT_EQ(desktop.armed.count(kTimerRecording), 0u);
    ASSERT_EQ(storage.saved.size(), 1u);
    EXPECT_NE(storage.saved[0].find("#: seconds 2\n"), std::string::npos);
    EXPECT_NE(storage.saved[0].find("#: ini USE_KEY=1\n"), std::string::npos);
    EXPECT_NE(storage.saved[0].find("\ndown 100 100\n"), std::string::npos);
    const common::BoardStatus written = answers.Status();
    EXPECT_EQ(written.recording, "written");
    EXPECT_EQ(written.recordingFile, "C:\\records\\Recording-1.script");

    // Lengths are kept within bounds; a failed write says so.
    storage.fail = true;
    EXPECT_EQ(answers.Record(200).recordingSeconds, common::kRecordingMaxSeconds);
    Cycle(RecordBuilder());
    desktop.now += common::kRecordingMaxSeconds * 1000;
    Cycle(RecordBuilder());
    answers.OnRecordingTimer();
    EXPECT_EQ(answers.Status().recording, "failed");
    EXPECT_EQ(faults.Count("could not be written"), 1u);
}

} // namespace
} // namespace driver
