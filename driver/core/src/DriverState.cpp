#include "driver/DriverState.h"

namespace driver {

const char* Name(SocketRouting routing)
{
    switch (routing) {
    case SocketRouting::Off: return "Off";
    case SocketRouting::PairSplit: return "PairSplit";
    case SocketRouting::HalfSplit: return "HalfSplit";
    }
    return "?";
}

const char* Name(ForwardingState state)
{
    switch (state) {
    case ForwardingState::Idle: return "Idle";
    case ForwardingState::AwaitingClient: return "AwaitingClient";
    case ForwardingState::Forwarding: return "Forwarding";
    }
    return "?";
}

} // namespace driver
