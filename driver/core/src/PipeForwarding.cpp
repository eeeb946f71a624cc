#include "driver/PipeForwarding.h"

#include "common/BoardCodes.h"

namespace driver {

PipeForwarding::PipeForwarding(Desktop& desktop, DriverState& state, ForwardingPipeHost& host, ChannelSlot& pipe,
                               FaultLog& faults, const ForwardingBounds& bounds)
    : desktop_(desktop),
      driverState_(state),
      host_(host),
      pipe_(pipe),
      faults_(faults),
      bounds_(bounds)
{}

PipeForwarding::~PipeForwarding()
{
    CloseInstance();
}

void PipeForwarding::Start(std::intptr_t lParam)
{
    // A run in progress ends: its client gets no more records, and the
    // board has the mouse until a client connects again.
    if (CurrentState() == State::Forwarding) EndOnItsOwn(Ending::Replaced);
    driverState_.forwardPlain = lParam == code::kPlainForwarding;
    // A program opens the pipe as soon as it has posted its request, so it
    // may already hold the instance that awaits a client: that instance
    // stays, and the wait for the client begins again.
    if (CurrentState() == State::AwaitingClient && instance_) {
        startedAt_ = desktop_.TickCount();
        Check();
        return;
    }
    // Every run gets a fresh instance; the previous one is disconnected and
    // closed so instances never pile up towards the pipe's limit.
    CloseInstance();
    instance_ = host_.CreateAndAwaitClient();
    if (!instance_) {
        faults_.Note("Could not create the forwarding pipe; the board goes on driving the mouse.");
        StopForwarding();
        return;
    }
    driverState_.forwarding = State::AwaitingClient;
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
            if (now - startedAt_ > bounds_.clientWaitMs) EndOnItsOwn(Ending::NoClient);
            return;
        case PipeInstance::Link::Lost: EndOnItsOwn(Ending::WaitFailed); return;
        case PipeInstance::Link::Connected:
            // The hand-over: the worker releases what it pressed and writes
            // to the pipe from its next record on.
            pipe_.Publish(instance_);
            driverState_.forwarding = State::Forwarding;
            driverState_.NoteRoutingChange();
            progressAt_ = now;
            delivered_ = instance_->DeliveredWrites();
            stallNoted_ = false;
            return;
        }
        return;
    }
    if (link != PipeInstance::Link::Connected) {
        EndOnItsOwn(Ending::ClientGone);
        return;
    }
    CheckDeliveries(now);
}

// A stall alone only loses records, until the stall bound.
void PipeForwarding::CheckDeliveries(std::uint32_t now)
{
    const std::uint64_t delivered = instance_->DeliveredWrites();
    if (delivered != delivered_) {
        if (stallNoted_) {
            faults_.NoteF("Forwarding: the calibration program reads again after %u s.",
                          static_cast<unsigned>((now - progressAt_) / 1000));
        }
        delivered_ = delivered;
        progressAt_ = now;
        stallNoted_ = false;
        return;
    }
    const std::uint32_t quiet = now - progressAt_;
    if (quiet > bounds_.stallMs) {
        EndOnItsOwn(Ending::Stalled);
    } else if (quiet > bounds_.stallNoticeMs && !stallNoted_) {
        stallNoted_ = true;
        faults_.NoteF("Forwarding: the calibration program has read nothing for %u s; its records are dropped until "
                      "it reads again, for at most %u s.",
                      static_cast<unsigned>(bounds_.stallNoticeMs / 1000),
                      static_cast<unsigned>(bounds_.stallMs / 1000));
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
                      static_cast<unsigned>(bounds_.clientWaitMs / 1000));
        break;
    case Ending::WaitFailed: faults_.Note("Forwarding ended: the wait for the forwarding pipe's client failed."); break;
    case Ending::ClientGone:
        faults_.Note("Forwarding ended: the calibration program's end of the pipe closed before it ended the run.");
        break;
    case Ending::Stalled:
        faults_.NoteF("Forwarding ended: no record reached the calibration program for %u s.",
                      static_cast<unsigned>(bounds_.stallMs / 1000));
        break;
    case Ending::Replaced:
        faults_.Note("Forwarding ended: a new forwarding request came while a program was connected.");
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
