#include "driver/PipeForwarding.h"

#include "common/BoardCodes.h"

namespace driver {
PipeForwarding::PipeForwarding(Desktop& desktop, DriverState& state, ForwardingPipeHost& host, ChannelSlot& pipe,
                               FaultLog& faults)
    : desktop_(desktop),
      driverState_(state),
      host_(host),
      pipe_(pipe),
      faults_(faults)
{}

PipeForwarding::~PipeForwarding()
{
    CloseInstance();
}

void PipeForwarding::Start(std::intptr_t lParam)
{
    // Every run gets a fresh instance; the previous one is disconnected and
    // closed so instances never pile up towards the pipe's limit.
    CloseInstance();
    driverState_.forwardPlain = lParam == code::kPlainForwarding;
    instance_ = host_.CreateAndAwaitClient();
    if (!instance_) {
        faults_.Note("Could not create the forwarding pipe; the board goes on driving the mouse.");
        StopForwarding();
        return;
    }
    driverState_.forwarding = State::AwaitingClient;
    driverState_.NoteRoutingChange();
    startedAt_ = desktop_.TickCount();
    desktop_.StartDriverTimer(kTimerForwardingWatch, kWatchPeriodMs);
    Check();
}

void PipeForwarding::Check()
{
    if (CurrentState() == State::Idle || !instance_) return;
    const std::uint32_t now = desktop_.TickCount();
    const PipeInstance::Link link = instance_->CurrentLink();
    if (CurrentState() == State::AwaitingClient) {
        switch (link) {
        case PipeInstance::Link::AwaitingClient:
            if (now - startedAt_ > kClientWaitMs) {
                EndOnItsOwn(Ending::NoClient);
            }
            return;
        case PipeInstance::Link::Lost: EndOnItsOwn(Ending::WaitFailed); return;
        case PipeInstance::Link::Connected:
            pipe_.Publish(instance_);
            driverState_.forwarding = State::Forwarding;
            progressAt_ = now;
            delivered_ = instance_->DeliveredWrites();
            return;
        }
        return;
    }
    if (link != PipeInstance::Link::Connected) {
        EndOnItsOwn(Ending::ClientGone);
        return;
    }
    const std::uint64_t delivered = instance_->DeliveredWrites();
    if (delivered != delivered_) {
        delivered_ = delivered;
        progressAt_ = now;
    } else if (now - progressAt_ > kStallMs) {
        EndOnItsOwn(Ending::Stalled);
    }
}

void PipeForwarding::End()
{
    CloseInstance();
    StopForwarding();
}

void PipeForwarding::EndOnItsOwn(Ending why)
{
    switch (why) {
    case Ending::NoClient:
        faults_.NoteF("Forwarding ended: no program connected to the forwarding pipe within %u s.",
                      static_cast<unsigned>(kClientWaitMs / 1000));
        break;
    case Ending::WaitFailed: faults_.Note("Forwarding ended: the wait for the forwarding pipe's client failed."); break;
    case Ending::ClientGone:
        faults_.Note("Forwarding ended: the calibration program's end of the pipe closed before it ended the run.");
        break;
    case Ending::Stalled:
        faults_.NoteF("Forwarding ended: no record reached the calibration program for %u s.",
                      static_cast<unsigned>(kStallMs / 1000));
        break;
    }
    End();
}

void PipeForwarding::CloseInstance()
{
    pipe_.Withdraw();
    if (instance_) instance_->Close();
    instance_.reset();
}

void PipeForwarding::StopForwarding()
{
    const bool wasForwarding = driverState_.forwarding.exchange(State::Idle) != State::Idle;
    driverState_.forwardPlain = false;
    if (wasForwarding) desktop_.KillDriverTimer(kTimerForwardingWatch);
}

} // namespace driver
