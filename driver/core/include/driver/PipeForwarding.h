#pragma once
// One forwarding run at a time: the calibration program asks for raw records,
// the driver opens a pipe instance, waits for the program to connect and from
// the connection on lets the worker write every record through it, instead of
// driving the mouse, until the run ends.
//
//   state          | client connects      | link breaks / no client | START          | END
//   ---------------+----------------------+-------------------------+----------------+---------
//   Idle           | -                    | -                       | -> Awaiting    | Idle
//   AwaitingClient | -> Forwarding (the   | -> Idle after           | same instance, | -> Idle
//                  |    mouse handed over)|    clientWaitMs         | wait anew      |
//   Forwarding     | -                    | -> Idle at once         | run ended,     | -> Idle
//                  |                      |                         | -> Awaiting    |
//
// Until a client has connected the board keeps the mouse: a request nobody
// follows up, however often it is repeated, never takes the board away. A
// calibration program that crashes must not leave the board dead either, so
// a connected run also ends by itself when the client's end breaks, and when
// no record has reached the client for stallMs: long enough for a person to
// answer a prompt the program shows meanwhile (its records are dropped), not
// so long that a program that hangs keeps the board for good.
#include "driver/ByteChannel.h"
#include "driver/ChannelPorts.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/FaultLog.h"

#include <cstdint>
#include <memory>

namespace driver {

struct ForwardingBounds {
    // A calibration program posts its request, then starts up its reading.
    std::uint32_t clientWaitMs = 15000;
    // A prompt read and answered by someone who may first have to walk from
    // the board to the computer.
    std::uint32_t stallMs = 60000;
    // A reader that keeps up takes a record every 2 ms; this long without
    // one is worth a line in the support log.
    std::uint32_t stallNoticeMs = 5000;
};

class PipeForwarding {
public:
    using State = ForwardingState;

    // How often a run in progress is looked at, on timer kTimerForwardingWatch.
    static constexpr unsigned kWatchPeriodMs = 500;

    PipeForwarding(Desktop& desktop, DriverState& state, ForwardingPipeHost& host, ChannelSlot& pipe, FaultLog& faults,
                   const ForwardingBounds& bounds = {});
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
    const ForwardingBounds& Bounds() const { return bounds_; }

private:
    enum class Ending { NoClient, WaitFailed, ClientGone, Stalled, Replaced };
    // Ends the run as an end without reload would, and says why.
    void EndOnItsOwn(Ending why);
    void CheckDeliveries(std::uint32_t now);
    void CloseInstance();
    void StopForwarding();

    Desktop& desktop_;
    DriverState& driverState_;
    ForwardingPipeHost& host_;
    ChannelSlot& pipe_;
    FaultLog& faults_;
    const ForwardingBounds bounds_;
    std::shared_ptr<PipeInstance> instance_;
    // When the run started, and when a record last reached the client.
    std::uint32_t startedAt_ = 0;
    std::uint32_t progressAt_ = 0;
    std::uint64_t delivered_ = 0;
    // The support log has been told of the stall in progress.
    bool stallNoted_ = false;
};

} // namespace driver
