#pragma once
// The TCP channel that carries touch packets to the drawing application.
// Mode 2 connects to a listener; the connected socket is non-blocking, so a
// peer that has gone or stopped reading costs the writer a lost packet,
// never a wait. The driver only ever connects and writes: there is no
// listening mode (mode 1) and no reading here (the test kit has a listener).
#include "BrelvinIPCBase.h"
#include "WinsockSession.h"

#include "common/UniqueSocket.h"

#include <cstddef>
#include <cstdint>

namespace brelvin {

class CBrelvinSocket final : public CBrelvinIPCBase {
public:
    static constexpr int kConnect = 2;
    // How long Open may hold up its caller while the connection is made.
    static constexpr long kConnectWaitMs = 1000;
    // What a stalled peer can have waiting for it: a few seconds of
    // packets, not minutes of stale touches replayed once it reads again.
    static constexpr int kSendBufferBytes = 16 * 1024;
    // How long a packet already partly sent may wait for the rest to go.
    static constexpr long kPacketTailWaitMs = 100;

    explicit CBrelvinSocket(int port);
    ~CBrelvinSocket() override = default;

    CBrelvinSocket(const CBrelvinSocket&) = delete;
    CBrelvinSocket& operator=(const CBrelvinSocket&) = delete;

    // Mode 2 is true once a socket exists, whether or not anybody listened:
    // writes fail until the connection stands. False for other modes, an
    // address that is not dotted IPv4, or when no socket could be made.
    bool Open(int mode, const char* address) override;

    // Sends all `length` bytes or none that the peer could tell from a
    // whole packet: a packet cut short ends the connection, so the peer
    // never reads the stream out of step.
    bool Write(const std::uint8_t* data, std::size_t length) override;

private:
    bool Connect(const char* address);

    WinsockSession session_;
    int port_;
    common::UniqueSocket connectedSocket_;
};

} // namespace brelvin
