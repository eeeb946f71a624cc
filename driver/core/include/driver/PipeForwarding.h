#pragma once
// One forwarding run at a time: the calibration program asks for raw records,
// the driver opens a pipe instance, waits for the program to connect and then
// lets the worker write every record through it until the run ends.
//
// A calibration program that crashes must not leave the board dead, so a
// run also ends by itself, as an end without reload would end it: when no
// client connects within kClientWaitMs (the program may still be starting),
// at once when the client's end breaks, and when no record has reached the
// client for kStallMs (a single slow write only loses that record).
#include "driver/ByteChannel.h"
#include "driver/ChannelPorts.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/FaultLog.h"

#include <cstdint>
#include <memory>

namespace driver {

class PipeForwarding {
public:
    using State = ForwardingState;

    static constexpr std::uint32_t kClientWaitMs = 15000;
    static constexpr std::uint32_t kStallMs = 5000;
    // How often a run in progress is looked at, on timer kTimerForwardingWatch.
    static constexpr unsigned kWatchPeriodMs = 500;

    PipeForwarding(Desktop& desktop, DriverState& state, ForwardingPipeHost& host, ChannelSlot& pipe, FaultLog& faults);
    ~PipeForwarding();
    PipeForwarding(const PipeForwarding&) = delete;
    PipeForwarding& operator=(const PipeForwarding&) = delete;

    // Ends a run in progress, then opens a new instance; lParam 8 asks for
    // forwarding without the calibration-key test.
    void Start(std::intptr_t lParam);
    // Looks at the run's instance: on the platform's nudge and on every tick
    // of the watch timer.
    void Check();
    void End();

    // Kept in the driver state, where the worker reads it.
    State CurrentState() const { return driverState_.forwarding; }

private:
    enum class Ending { NoClient, WaitFailed, ClientGone, Stalled };
    // Ends the run as an end without reload would, and says why.
    void EndOnItsOwn(Ending why);
    void CloseInstance();
    void StopForwarding();

    Desktop& desktop_;
    DriverState& driverState_;
    ForwardingPipeHost& host_;
    ChannelSlot& pipe_;
    FaultLog& faults_;
    std::shared_ptr<PipeInstance> instance_;
    // When the run started, and when a record last reached the client.
    std::uint32_t startedAt_ = 0;
    std::uint32_t progressAt_ = 0;
    std::uint64_t delivered_ = 0;
};

} // namespace driver
