#pragma once
// The platform side of the driver's two byte streams to other programs, as
// the window thread's message handlers use them: the touch socket that the
// drawing application listens on, and the forwarding pipe that the
// calibration program reads raw records from. The worker only ever sees the
// channel published in a ChannelSlot.
#include "driver/ByteChannel.h"

#include <cstdint>
#include <memory>

namespace driver {

inline constexpr int kTouchSocketPort = 6171;
inline constexpr const char* kTouchSocketAddress = "127.0.0.1";

class SocketChannelFactory {
public:
    virtual ~SocketChannelFactory() = default;

    // A stream channel connecting to `address`:`port`. The connection is
    // made without holding up the window thread for long; a channel whose
    // peer is not (yet) there simply fails its writes. Null only when no
    // socket could be created at all.
    virtual std::shared_ptr<ByteChannel> OpenStream(const char* address, int port) = 0;
};

// One server instance of the forwarding pipe, from its creation to the end
// of one forwarding run. The driver asks the instance itself how it stands
// rather than believing a report that any program could forge.
class PipeInstance : public ByteChannel {
public:
    enum class Link {
        AwaitingClient,
        Connected,
        Lost, // the wait for the client failed, or the client's end broke
    };
    virtual Link CurrentLink() const = 0;

    // Writes that delivered all their bytes, since the instance was made.
    virtual std::uint64_t DeliveredWrites() const = 0;

    // Ends the run: cancels a wait still in progress and disconnects the
    // client, so a write in flight returns. The handle itself goes with the
    // last reference, once no write can be using it.
    virtual void Close() = 0;
};

class ForwardingPipeHost {
public:
    virtual ~ForwardingPipeHost() = default;

    // Creates a fresh instance of the forwarding pipe and starts waiting for
    // its client without blocking the caller. When the client connects, the
    // wait fails or the connection breaks, the platform nudges the window
    // thread (ProtocolHandlers::OnForwardingNews), which then asks the
    // instance. Null when no instance could be created.
    virtual std::shared_ptr<PipeInstance> CreateAndAwaitClient() = 0;
};

} // namespace driver
