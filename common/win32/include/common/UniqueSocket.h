#pragma once
// The owner of one Windows Sockets socket, of the family in
// common/UniqueHandle.h. Windows Sockets 2 comes first, before anything else
// brings in the platform headers.
#include <winsock2.h>

#include "common/UniqueHandle.h"

namespace common {

struct SocketTraits {
    using Handle = SOCKET;
    static SOCKET None() { return INVALID_SOCKET; }
    static bool Valid(SOCKET socket) { return socket != INVALID_SOCKET; }
    static void Close(SOCKET socket) { closesocket(socket); }
};
using UniqueSocket = UniqueResource<SocketTraits>;

} // namespace common
