#pragma once
// The datagram channel that carries TUIO bundles to their listener. The
// socket is tied to the one address and port from the settings, so nothing
// is ever sent anywhere else, and it never waits: a bundle the system cannot
// take at once is lost, the next one goes out as usual. Names are never
// looked up; the address is numeric.
#include "WinsockSession.h"

#include "common/UniqueSocket.h"
#include "driver/ByteChannel.h"
#include "driver/MultitouchSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace brelvin {

class TuioUdpSender final : public driver::ByteChannel {
public:
    TuioUdpSender(const driver::IPv4Address& host, int port);

    TuioUdpSender(const TuioUdpSender&) = delete;
    TuioUdpSender& operator=(const TuioUdpSender&) = delete;

    // Makes the socket. False when Windows Sockets could not start, the port
    // lies outside 1..65535 or no socket could be made; writes then fail.
    bool Open();

    // One datagram with all `length` bytes; false when it did not go.
    bool Write(const std::uint8_t* data, std::size_t length) override;

    // The address this machine sends from to reach the listener, dotted, for
    // the bundles' source; "127.0.0.1" before a successful Open.
    std::string LocalAddress() const;

    // "a.b.c.d:port", for fault lines.
    std::string Destination() const;

private:
    WinsockSession session_;
    driver::IPv4Address host_;
    int port_;
    common::UniqueSocket socket_;
};

} // namespace brelvin
