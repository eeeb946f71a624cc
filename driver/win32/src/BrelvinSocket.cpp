#include "BrelvinSocket.h"

#include <climits>

namespace brelvin {

namespace {

enum class Readiness { Ready, Failed, TimedOut };

// Waits until `socket` can send, or reports that its connection failed.
Readiness AwaitWritable(SOCKET socket, long timeoutMs)
{
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, &writable);
    FD_SET(socket, &failed);
    timeval timeout = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int ready = select(0, nullptr, &writable, &failed, &timeout);
    if (ready == SOCKET_ERROR || FD_ISSET(socket, &failed)) return Readiness::Failed;
    if (ready == 0) return Readiness::TimedOut;
    return Readiness::Ready;
}

sockaddr_in IPv4Address(unsigned long address, int port)
{
    sockaddr_in result = {};
    result.sin_family = AF_INET;
    result.sin_port = htons(static_cast<u_short>(port));
    result.sin_addr.s_addr = address;
    return result;
}

} // namespace

CBrelvinSocket::CBrelvinSocket(int port)
    : port_(port)
{}

bool CBrelvinSocket::Open(int mode, const char* address)
{
    connectedSocket_.Reset();
    if (!session_.Started() || mode != kConnect) return false;
    return Connect(address);
}

bool CBrelvinSocket::Connect(const char* address)
{
    if (!address) return false;
    const unsigned long target = inet_addr(address);
    if (target == INADDR_NONE) return false;

    common::UniqueSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!socket) return false;
    u_long nonBlocking = 1;
    if (ioctlsocket(socket.Get(), FIONBIO, &nonBlocking) != 0) return false;
    const int sendBuffer = kSendBufferBytes;
    setsockopt(socket.Get(), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&sendBuffer), sizeof sendBuffer);

    const sockaddr_in peer = IPv4Address(target, port_);
    if (connect(socket.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) return true;
        // A connection still under way when the wait ends may yet stand;
        // until it does, sends fail as they would with no peer at all.
        if (AwaitWritable(socket.Get(), kConnectWaitMs) == Readiness::Failed) return true;
    }
    connectedSocket_ = std::move(socket);
    return true;
}

bool CBrelvinSocket::Write(const std::uint8_t* data, std::size_t length)
{
    if (!connectedSocket_ || (!data && length != 0)) return false;
    std::size_t sent = 0;
    while (sent < length) {
        const std::size_t left = length - sent;
        const int chunk = left > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(left);
        const int count = send(connectedSocket_.Get(), reinterpret_cast<const char*>(data + sent), chunk, 0);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (sent == 0) return false;
        const bool roomForTheRest = count == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK &&
                                    AwaitWritable(connectedSocket_.Get(), kPacketTailWaitMs) == Readiness::Ready;
        if (!roomForTheRest) {
            connectedSocket_.Reset();
            return false;
        }
    }
    return true;
}

} // namespace brelvin
