// How the board check stands with the driver: asking, answered, silent or
// gone, and the frame rate from the driver's own counts and clock.
#include "boardcheck/StatusPoll.h"

#include <gtest/gtest.h>

namespace boardcheck {
namespace {

std::string Answer(unsigned long process, std::uint32_t tick, std::uint32_t records)
{
    common::BoardStatus status;
    status.protocol = common::kBoardStatusProtocol;
    status.processId = process;
    status.tick = tick;
    status.records = records;
    return common::FormatBoardStatus(status);
}

TEST(StatusPoll, AsksAnsweredSilentAndGone)
{
    StatusPoll poll;
    EXPECT_FALSE(poll.OnRefresh(false, 0));
    EXPECT_EQ(poll.CurrentState(), StatusPoll::State::NoDriver);
    EXPECT_TRUE(poll.OnRefresh(true, 0));
    EXPECT_EQ(poll.CurrentState(), StatusPoll::State::Asking);
    poll.OnAnswer(Answer(7, 1000, 0), 100);
    EXPECT_EQ(poll.CurrentState(), StatusPoll::State::Answering);
    EXPECT_EQ(poll.Status().processId, 7u);

    // Asked again and again, never answered: silent once the first of them is old.
    EXPECT_TRUE(poll.OnRefresh(true, 500));
    EXPECT_TRUE(poll.OnRefresh(true, 1000));
    EXPECT_TRUE(poll.OnRefresh(true, 2400));
    EXPECT_EQ(poll.CurrentState(), StatusPoll::State::Answering);
    EXPECT_TRUE(poll.OnRefresh(true, 2500));
    EXPECT_EQ(poll.CurrentState(), StatusPoll::State::Silent);
    EXPECT_EQ(poll.Status().processId, 7u); // the last answer is kept
    poll.OnAnswer(Answer(7, 3000, 0), 2600);
    EXPECT_EQ(poll.CurrentState(), StatusPoll::State::Answering);

    // The driver goes: what it said goes with it, and a late answer is dropped.
    poll.OnRefresh(false, 3000);
    poll.OnAnswer(Answer(7, 3100, 0), 3001);
    EXPECT_EQ(poll.CurrentState(), StatusPoll::State::NoDriver);
    EXPECT_EQ(poll.Status().processId, 0u);
    EXPECT_TRUE(poll.StatusText().empty());
}

TEST(StatusPoll, TheRateComesFromTheDriversCountsOverTheLastSeconds)
{
    StatusPoll poll;
    poll.OnRefresh(true, 0);
    poll.OnAnswer(Answer(7, 10000, 100), 0);
    EXPECT_LT(poll.RecordsPerSecond(), 0);
    poll.OnAnswer(Answer(7, 10200, 112), 0);
    EXPECT_LT(poll.RecordsPerSecond(), 0); // too short a span
    poll.OnAnswer(Answer(7, 10500, 130), 0);
    EXPECT_DOUBLE_EQ(poll.RecordsPerSecond(), 60.0);
    // The camera slows down: answers older than the span stop counting.
    for (std::uint32_t t = 11000; t <= 14000; t += 500) poll.OnAnswer(Answer(7, t, 130 + (t - 10500) / 100), 0);
    EXPECT_NEAR(poll.RecordsPerSecond(), 10.0, 0.01);
    // A driver started anew counts from nothing.
    poll.OnAnswer(Answer(8, 500, 4294967290u), 0);
    EXPECT_LT(poll.RecordsPerSecond(), 0);
    // Its counter wraps as the driver's does.
    poll.OnAnswer(Answer(8, 1500, 50), 0);
    EXPECT_DOUBLE_EQ(poll.RecordsPerSecond(), 56.0);
}

} // namespace
} // namespace boardcheck
