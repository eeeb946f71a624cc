// Forwarding runs: each run's instance is published only once its client is
// there, and closed and dropped when the run ends however it ends.
#include "DriverFakes.h"

#include "driver/PipeForwarding.h"

#include <gtest/gtest.h>

namespace driver {
namespace {

using State = PipeForwarding::State;
using testing::FakePipeHost;

class PipeForwardingTest : public ::testing::Test {
protected:
    DriverState state;
    FakePipeHost host;
    ChannelSlot pipe;
    PipeForwarding forwarding{state, host, pipe};

    void ExpectIdleAndNotForwarding() {
        EXPECT_EQ(forwarding.CurrentState(), State::Idle);
        EXPECT_EQ(state.forwardingActive, 0);
        EXPECT_EQ(state.forwardPlain, 0);
        EXPECT_EQ(pipe.Current(), nullptr);
    }
};

TEST_F(PipeForwardingTest, RunPublishesOnConnectAndClosesOnEnd) {
    forwarding.Start(8);
    EXPECT_EQ(forwarding.CurrentState(), State::AwaitingClient);
    EXPECT_EQ(state.forwardingActive, 1);
    EXPECT_EQ(state.forwardPlain, 1);
    EXPECT_EQ(pipe.Current(), nullptr);

    forwarding.WaitEnded(host.LastId(), true);
    EXPECT_EQ(forwarding.CurrentState(), State::Forwarding);
    const std::uint8_t record[20] = {1, 2, 3};
    EXPECT_TRUE(pipe.Write(record, sizeof record));
    EXPECT_EQ(host.Instance(0)->writes.size(), 1u);

    forwarding.End();
    ExpectIdleAndNotForwarding();
    EXPECT_EQ(host.Alive(), 0);
}

TEST_F(PipeForwardingTest, OnlyLParamEightSkipsTheKeyTest) {
    forwarding.Start(7);
    EXPECT_EQ(state.forwardPlain, 0);
    EXPECT_EQ(state.forwardingActive, 1);
}

TEST_F(PipeForwardingTest, FailedCreateLeavesForwardingOff) {
    host.failCreate = true;
    forwarding.Start(8);
    ExpectIdleAndNotForwarding();
}

TEST_F(PipeForwardingTest, FailedWaitEndsForwardingAtOnce) {
    forwarding.Start(8);
    const auto instance = host.Instance(0);
    forwarding.WaitEnded(instance->Id(), false);
    ExpectIdleAndNotForwarding();
    EXPECT_TRUE(instance->closed);
}

TEST_F(PipeForwardingTest, EndWhileAwaitingClosesTheWaitingInstance) {
    forwarding.Start(0);
    const auto instance = host.Instance(0);
    forwarding.End();
    ExpectIdleAndNotForwarding();
    EXPECT_TRUE(instance->closed);
    // The wait's late report must not bring the closed instance back.
    forwarding.WaitEnded(instance->Id(), true);
    ExpectIdleAndNotForwarding();
}

TEST_F(PipeForwardingTest, StartWhileForwardingReplacesTheRun) {
    forwarding.Start(0);
    forwarding.WaitEnded(host.LastId(), true);
    const auto first = host.Instance(0);

    forwarding.Start(8);
    EXPECT_TRUE(first->closed);
    EXPECT_EQ(pipe.Current(), nullptr);
    EXPECT_EQ(forwarding.CurrentState(), State::AwaitingClient);
    EXPECT_EQ(state.forwardingActive, 1);
    EXPECT_EQ(state.forwardPlain, 1);
}

TEST_F(PipeForwardingTest, StaleReportsAreIgnored) {
    forwarding.Start(0);
    const std::uint32_t oldId = host.LastId();
    forwarding.Start(0);
    forwarding.WaitEnded(oldId, false);
    EXPECT_EQ(forwarding.CurrentState(), State::AwaitingClient);
    EXPECT_EQ(state.forwardingActive, 1);

    forwarding.WaitEnded(host.LastId(), true);
    forwarding.WaitEnded(host.LastId(), false);  // a second report for a run already forwarding
    EXPECT_EQ(forwarding.CurrentState(), State::Forwarding);
    EXPECT_NE(pipe.Current(), nullptr);
}

TEST_F(PipeForwardingTest, ManyRunsLeaveNoInstanceAlive) {
    for (int run = 0; run < 60; ++run) {
        forwarding.Start(run % 2 == 0 ? 8 : 0);
        if (run % 3 != 0) forwarding.WaitEnded(host.LastId(), run % 3 == 1);
        if (run % 4 != 0) forwarding.End();
        EXPECT_LE(host.Alive(), 1) << run;
    }
    forwarding.End();
    EXPECT_EQ(host.Alive(), 0);
    for (std::size_t n = 0; n < host.created.size(); ++n) EXPECT_TRUE(host.created[n].expired()) << n;
}

TEST_F(PipeForwardingTest, WorkerWriteInFlightKeepsTheInstanceUntilItReturns) {
    forwarding.Start(0);
    forwarding.WaitEnded(host.LastId(), true);
    const std::shared_ptr<ByteChannel> heldByWorker = pipe.Current();
    forwarding.End();
    EXPECT_EQ(host.Alive(), 1);
    EXPECT_TRUE(host.Instance(0)->closed);
    const std::uint8_t record[20] = {};
    EXPECT_FALSE(heldByWorker->Write(record, sizeof record));
}

} // namespace
} // namespace driver
