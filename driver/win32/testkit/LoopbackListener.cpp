#include "LoopbackListener.h"

namespace brelvin::testkit {

LoopbackListener::LoopbackListener(int backlog, int receiveBuffer)
    : socket_(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP))
{
    if (!socket_) return;
    if (receiveBuffer > 0) {
        setsockopt(socket_.Get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer),
                   sizeof receiveBuffer);
    }
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = inet_addr("127.0.0.1");
    int length = sizeof local;
    if (bind(socket_.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        listen(socket_.Get(), backlog) != 0 ||
        getsockname(socket_.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        socket_.Reset();
        return;
    }
    port_ = ntohs(local.sin_port);
}

common::UniqueSocket LoopbackListener::Accept(long timeoutMs) const
{
    if (!socket_ || !AwaitReadable(socket_.Get(), timeoutMs)) return common::UniqueSocket();
    return common::UniqueSocket(accept(socket_.Get(), nullptr, nullptr));
}

bool AwaitReadable(SOCKET socket, long timeoutMs)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval timeout = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return select(0, &readable, nullptr, nullptr, &timeout) == 1;
}

} // namespace brelvin::testkit
