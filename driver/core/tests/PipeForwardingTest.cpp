// Forwarding runs: the board keeps the mouse and each run's instance is
// published only once its client is there, closed and dropped when the run
// ends however it ends, and a run whose client never comes, vanishes or stops
// reading for too long ends by itself.
#include "DriverFakes.h"

#include "driver/PipeForwarding.h"

#include <gtest/gtest.h>

namespace driver {
namespace {

using State = PipeForwarding::State;
using Link = PipeInstance::Link;
using testing::FakeDesktop;
using testing::FakePipeHost;
using testing::RecordingFaultLog;

class PipeForwardingTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    DriverState state;
    FakePipeHost host;
    ChannelSlot pipe;
    RecordingFaultLog faults;
    // Bounds of their own, so that nothing here relies on the shipped values.
    static constexpr ForwardingBounds kBounds{3000, 20000, 2000};
    PipeForwarding forwarding{desktop, state, host, pipe, faults, kBounds};

    // The client connects and the window thread hears of it.
    void Connect()
    {
        host.Last()->link = Link::Connected;
        forwarding.Check();
        ASSERT_EQ(forwarding.CurrentState(), State::Forwarding);
    }
    // The watch timer's ticks over `ms`, with the worker writing a record
    // every 2 ms in between.
    void RunFor(std::uint32_t ms, bool writing = true)
    {
        const std::uint8_t record[20] = {};
        for (std::uint32_t t = 0; t < ms; t += PipeForwarding::kWatchPeriodMs) {
            for (std::uint32_t w = 0; writing && w < PipeForwarding::kWatchPeriodMs; w += 2) {
                pipe.Write(record, sizeof record);
            }
            desktop.now += PipeForwarding::kWatchPeriodMs;
            forwarding.Check();
        }
    }
    void ExpectIdleAndNotForwarding()
    {
        EXPECT_EQ(forwarding.CurrentState(), State::Idle);
        EXPECT_FALSE(state.Forwarding());
        EXPECT_EQ(state.forwardPlain, 0);
        EXPECT_EQ(pipe.Current(), nullptr);
        EXPECT_EQ(desktop.armed.count(kTimerForwardingWatch), 0u) << "the watch outlives its run";
    }
};

TEST_F(PipeForwardingTest, TheBoardKeepsTheMouseUntilTheClientConnects)
{
    const unsigned routingBefore = state.routingChanges;
    forwarding.Start(8);
    EXPECT_EQ(forwarding.CurrentState(), State::AwaitingClient);
    EXPECT_FALSE(state.Forwarding()) << "the mouse was taken before anybody reads the records";
    EXPECT_EQ(state.routingChanges, routingBefore) << "contacts in progress were cut by a bare request";
    EXPECT_EQ(state.forwardPlain, 1);
    EXPECT_EQ(pipe.Current(), nullptr);
    EXPECT_EQ(desktop.armed.at(kTimerForwardingWatch), PipeForwarding::kWatchPeriodMs);

    Connect();
    EXPECT_TRUE(state.Forwarding());
    EXPECT_EQ(state.routingChanges, routingBefore + 1) << "the hand-over releases what the board pressed";
    const std::uint8_t record[20] = {1, 2, 3};
    EXPECT_TRUE(pipe.Write(record, sizeof record));
    EXPECT_EQ(host.Instance(0)->writes.size(), 1u);

    forwarding.End();
    ExpectIdleAndNotForwarding();
    EXPECT_EQ(host.Alive(), 0);
    EXPECT_TRUE(faults.lines.empty());
}

TEST_F(PipeForwardingTest, OnlyLParamEightSkipsTheKeyTest)
{
    forwarding.Start(7);
    EXPECT_EQ(state.forwardPlain, 0);
}

TEST_F(PipeForwardingTest, FailedCreateLeavesForwardingOffAndSaysSo)
{
    host.failCreate = true;
    forwarding.Start(8);
    ExpectIdleAndNotForwarding();
    EXPECT_EQ(faults.Count("Could not create the forwarding pipe"), 1u);
}

TEST_F(PipeForwardingTest, FailedWaitEndsForwardingAtOnce)
{
    forwarding.Start(8);
    const auto instance = host.Instance(0);
    instance->link = Link::Lost;
    forwarding.Check();
    ExpectIdleAndNotForwarding();
    EXPECT_TRUE(instance->closed);
    EXPECT_EQ(faults.Count("wait for the forwarding pipe's client failed"), 1u);
}

TEST_F(PipeForwardingTest, AClientThatNeverComesEndsTheRunAfterTheBoundNotBefore)
{
    forwarding.Start(0);
    RunFor(kBounds.clientWaitMs, false);
    EXPECT_EQ(forwarding.CurrentState(), State::AwaitingClient) << "a slow calibration program was given up on";
    RunFor(PipeForwarding::kWatchPeriodMs, false);
    ExpectIdleAndNotForwarding();
    EXPECT_EQ(faults.Count("no program connected to the forwarding pipe within 3 s"), 1u);
    // A later run works.
    forwarding.Start(0);
    Connect();
}

TEST_F(PipeForwardingTest, AClientThatVanishesEndsTheRunAtItsNextNews)
{
    forwarding.Start(0);
    Connect();
    RunFor(1000);
    host.Last()->link = Link::Lost;
    forwarding.Check();
    ExpectIdleAndNotForwarding();
    EXPECT_EQ(faults.Count("end of the pipe closed"), 1u);
}

TEST_F(PipeForwardingTest, AStallOnlyDropsRecordsUntilTheStallBound)
{
    forwarding.Start(0);
    Connect();
    RunFor(10000); // a reader that keeps up: nothing ends
    EXPECT_EQ(forwarding.CurrentState(), State::Forwarding);
    EXPECT_TRUE(faults.lines.empty());

    // A prompt answered in time: the run goes on, and the log says so.
    host.Last()->stalled = true;
    RunFor(kBounds.stallMs - PipeForwarding::kWatchPeriodMs);
    EXPECT_EQ(forwarding.CurrentState(), State::Forwarding) << "a stall within the bound ended the run";
    EXPECT_EQ(faults.Count("has read nothing for 2 s; its records are dropped until it reads again, for at most 20 s"),
              1u);
    host.Last()->stalled = false;
    RunFor(PipeForwarding::kWatchPeriodMs);
    EXPECT_EQ(faults.Count("reads again after 20 s"), 1u);

    // A program that never reads again.
    host.Last()->stalled = true;
    RunFor(kBounds.stallMs);
    EXPECT_EQ(forwarding.CurrentState(), State::Forwarding);
    RunFor(PipeForwarding::kWatchPeriodMs);
    ExpectIdleAndNotForwarding();
    EXPECT_EQ(faults.Count("no record reached the calibration program for 20 s"), 1u);
}

TEST_F(PipeForwardingTest, EndWhileAwaitingClosesTheWaitingInstance)
{
    forwarding.Start(0);
    const auto instance = host.Instance(0);
    forwarding.End();
    ExpectIdleAndNotForwarding();
    EXPECT_TRUE(instance->closed);
    // News that arrives late must not bring the closed instance back.
    instance->link = Link::Connected;
    forwarding.Check();
    ExpectIdleAndNotForwarding();
}

TEST_F(PipeForwardingTest, StartWhileForwardingEndsTheRunAndGivesTheMouseBack)
{
    forwarding.Start(0);
    Connect();
    const auto first = host.Instance(0);

    forwarding.Start(8);
    EXPECT_TRUE(first->closed);
    EXPECT_EQ(pipe.Current(), nullptr);
    EXPECT_EQ(forwarding.CurrentState(), State::AwaitingClient);
    EXPECT_FALSE(state.Forwarding());
    EXPECT_EQ(state.forwardPlain, 1);
    EXPECT_EQ(faults.Count("a new forwarding request came while a program was connected"), 1u);
    Connect();
}

// The program that posts the start may open the pipe before the driver has
// handled it: it holds the instance already awaiting a client.
TEST_F(PipeForwardingTest, AStartWhileAwaitingKeepsTheInstanceAndWaitsAnew)
{
    forwarding.Start(0);
    RunFor(kBounds.clientWaitMs - PipeForwarding::kWatchPeriodMs, false);
    forwarding.Start(8);
    EXPECT_EQ(host.created.size(), 1u);
    EXPECT_FALSE(host.Instance(0)->closed) << "the instance a client may hold was closed";
    EXPECT_EQ(state.forwardPlain, 1);
    RunFor(kBounds.clientWaitMs - PipeForwarding::kWatchPeriodMs, false);
    EXPECT_EQ(forwarding.CurrentState(), State::AwaitingClient) << "the wait did not begin again";
    Connect();
}

// Any program can post the nudge; it only makes the driver look.
TEST_F(PipeForwardingTest, NewsWithoutAChangeChangesNothing)
{
    forwarding.Check();
    ExpectIdleAndNotForwarding();
    forwarding.Start(0);
    for (int n = 0; n < 10; ++n) forwarding.Check();
    EXPECT_EQ(forwarding.CurrentState(), State::AwaitingClient);
    EXPECT_EQ(pipe.Current(), nullptr);
    EXPECT_FALSE(state.Forwarding());
}

TEST_F(PipeForwardingTest, ManyRunsLeaveNoInstanceAlive)
{
    for (int run = 0; run < 60; ++run) {
        forwarding.Start(run % 2 == 0 ? 8 : 0);
        if (run % 3 != 0) {
            host.Last()->link = run % 3 == 1 ? Link::Connected : Link::Lost;
            forwarding.Check();
        }
        if (run % 4 != 0) forwarding.End();
        EXPECT_LE(host.Alive(), 1) << run;
    }
    forwarding.End();
    EXPECT_EQ(host.Alive(), 0);
    for (std::size_t n = 0; n < host.created.size(); ++n) EXPECT_TRUE(host.created[n].expired()) << n;
}

TEST_F(PipeForwardingTest, WorkerWriteInFlightKeepsTheInstanceUntilItReturns)
{
    forwarding.Start(0);
    Connect();
    const std::shared_ptr<ByteChannel> heldByWorker = pipe.Current();
    forwarding.End();
    EXPECT_EQ(host.Alive(), 1);
    EXPECT_TRUE(host.Instance(0)->closed);
    const std::uint8_t record[20] = {};
    EXPECT_FALSE(heldByWorker->Write(record, sizeof record));
}

// A run that replaces another between two records is still noticed.
TEST_F(PipeForwardingTest, EveryHandOverIsAChangeOfRouting)
{
    const unsigned before = state.routingChanges;
    forwarding.Start(0);
    Connect();
    forwarding.Start(0);
    Connect();
    EXPECT_EQ(state.routingChanges, before + 2);
}

} // namespace
} // namespace driver
