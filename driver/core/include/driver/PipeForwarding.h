#pragma once
// One forwarding run at a time: the calibration program asks for raw records,
// the driver opens a pipe instance, waits for the program to connect and then
// lets the worker write every record through it until the run ends.
#include "driver/ByteChannel.h"
#include "driver/ChannelPorts.h"
#include "driver/DriverState.h"

#include <cstdint>
#include <memory>

namespace driver {

class PipeForwarding {
public:
    enum class State { Idle, AwaitingClient, Forwarding };

    PipeForwarding(DriverState& state, ForwardingPipeHost& host, ChannelSlot& pipe);
    ~PipeForwarding();
    PipeForwarding(const PipeForwarding&) = delete;
    PipeForwarding& operator=(const PipeForwarding&) = delete;

    // Ends a run in progress, then opens a new instance; lParam 8 asks for
    // forwarding without the calibration-key test.
    void Start(std::intptr_t lParam);
    // Only the current instance's report counts; older runs' reports and
    // reports outside a wait are stale.
    void WaitEnded(std::uint32_t instanceId, bool connected);
    void End();

    State CurrentState() const { return state_; }

private:
    void CloseInstance();
    void StopForwarding();

    DriverState& driverState_;
    ForwardingPipeHost& host_;
    ChannelSlot& pipe_;
    State state_ = State::Idle;
    std::shared_ptr<PipeInstance> instance_;
};

} // namespace driver
