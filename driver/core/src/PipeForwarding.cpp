#include "driver/PipeForwarding.h"

namespace driver {
namespace {

constexpr std::intptr_t kPlainForwarding = 8;

} // namespace

PipeForwarding::PipeForwarding(DriverState& state, ForwardingPipeHost& host, ChannelSlot& pipe)
    : driverState_(state), host_(host), pipe_(pipe) {}

PipeForwarding::~PipeForwarding() { CloseInstance(); }

void PipeForwarding::Start(std::intptr_t lParam) {
    // Every run gets a fresh instance; the previous one is disconnected and
    // closed so instances never pile up towards the pipe's limit.
    CloseInstance();
    driverState_.forwardPlain = lParam == kPlainForwarding ? 1 : 0;
    driverState_.forwardingActive = 1;
    instance_ = host_.CreateAndAwaitClient();
    if (!instance_) {
        StopForwarding();
        return;
    }
    state_ = State::AwaitingClient;
}

void PipeForwarding::WaitEnded(std::uint32_t instanceId, bool connected) {
    if (state_ != State::AwaitingClient || !instance_ || instance_->Id() != instanceId) return;
    if (!connected) {
        // Staying in forwarding with nobody to forward to would leave the
        // driver without mouse input until the run is ended.
        CloseInstance();
        StopForwarding();
        return;
    }
    pipe_.Publish(instance_);
    state_ = State::Forwarding;
}

void PipeForwarding::End() {
    CloseInstance();
    StopForwarding();
}

void PipeForwarding::CloseInstance() {
    pipe_.Withdraw();
    if (instance_) instance_->Close();
    instance_.reset();
    state_ = State::Idle;
}

void PipeForwarding::StopForwarding() {
    driverState_.forwardingActive = 0;
    driverState_.forwardPlain = 0;
    state_ = State::Idle;
}

} // namespace driver
