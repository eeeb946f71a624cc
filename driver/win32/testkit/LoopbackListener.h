#pragma once
// Test kit: the listening end of a TCP connection, on 127.0.0.1 only and on
// a port the system picks, standing in for the drawing application's
// listener in the touch socket's tests.
#include "common/UniqueSocket.h"

#include <winsock2.h>

namespace brelvin::testkit {

class LoopbackListener {
public:
    // `backlog` callers may wait to be accepted; `receiveBuffer` (when not 0)
    // is each accepted connection's receive buffer.
    explicit LoopbackListener(int backlog = 5, int receiveBuffer = 0);

    // 0 when no socket could be made to listen.
    int Port() const { return port_; }

    // The next caller, once one has come within `timeoutMs`; none otherwise.
    common::UniqueSocket Accept(long timeoutMs) const;

private:
    common::UniqueSocket socket_;
    int port_ = 0;
};

// True once `socket` has something to read (or its peer closed) within
// `timeoutMs`.
bool AwaitReadable(SOCKET socket, long timeoutMs);

} // namespace brelvin::testkit
