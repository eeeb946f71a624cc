// The verdict line walks the board's faults in their order: each fault put
// right uncovers the next, until the board is ready.
#include "boardcheck/BoardVerdict.h"

#include <gtest/gtest.h>

namespace boardcheck {
namespace {

// Everything wrong at once that the driver can tell.
common::BoardStatus Troubled(std::uint32_t tick, std::uint32_t records)
{
    common::BoardStatus status;
    status.protocol = common::kBoardStatusProtocol;
    status.processId = 7;
    status.tick = tick;
    status.records = records;
    status.calibrationLoaded = false;
    status.monitor = "primary-instead-of-\\\\.\\DISPLAY_2";
    status.calibrationCheck = "recalibrate";
    status.calibrationCheckWorstPx = "14.2";
    return status;
}

TEST(BoardVerdict, EachFaultPutRightUncoversTheNextUntilTheBoardIsReady)
{
    StatusPoll poll;
    CheckFacts facts;
    const CheckTexts english;
    const auto answer = [&](const common::BoardStatus& status) { poll.OnAnswer(common::FormatBoardStatus(status), 0); };

    poll.OnRefresh(false, 0);
    EXPECT_EQ(JudgeBoard(poll, facts), Verdict::DriverNotRunning);
    EXPECT_EQ(VerdictLine(poll, facts, english),
              "The board driver is not running: start it (log off and on, or Start menu)");
    poll.OnRefresh(true, 0);
    EXPECT_EQ(JudgeBoard(poll, facts), Verdict::Checking);
    poll.OnRefresh(true, StatusPoll::kAnswerWaitMs);
    EXPECT_EQ(JudgeBoard(poll, facts), Verdict::DriverSilent);

    answer(Troubled(10000, 100));
    EXPECT_EQ(JudgeBoard(poll, facts), Verdict::ServiceNotRunning);
    facts.serviceFound = true;
    EXPECT_EQ(JudgeBoard(poll, facts), Verdict::Checking) << "one answer tells no rate";
    answer(Troubled(11000, 100));
    EXPECT_EQ(JudgeBoard(poll, facts), Verdict::ServiceSendsNothing);
    answer(Troubled(12000, 160));
    EXPECT_EQ(JudgeBoard(poll, facts), Verdict::CalibrationNotLoaded);

    common::BoardStatus status = Troubled(12500, 190);
    status.calibrationLoaded = true;
    answer(status);
    EXPECT_EQ(JudgeBoard(poll, facts), Verdict::MonitorMissing);
    EXPECT_EQ(VerdictLine(poll, facts, english),
              "The board is on a monitor that is not there (\\\\.\\DISPLAY 2): the main display stands in for it");
    status.monitor = "\\\\.\\DISPLAY2";
    answer(status);
    EXPECT_EQ(JudgeBoard(poll, facts), Verdict::Recalibrate);
    EXPECT_EQ(VerdictLine(poll, facts, english),
              "The last calibration check found the pen up to 14.2 px off: calibrate the board again");
    status.calibrationCheck = "good";
    answer(status);
    EXPECT_EQ(JudgeBoard(poll, facts), Verdict::Ready);

    // A school's own words win over the English.
    CheckTexts own;
    own.Set("IDS_VERDICTREADY", "Die Tafel ist bereit");
    EXPECT_EQ(VerdictLine(poll, facts, own), "Die Tafel ist bereit");
}

} // namespace
} // namespace boardcheck
