#include "TuioUdpSender.h"

#include <climits>
#include <cstdio>

namespace brelvin {
namespace {

sockaddr_in SocketAddress(const driver::IPv4Address& host, int port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    const unsigned long hostOrder = static_cast<unsigned long>(host[0]) << 24 |
                                    static_cast<unsigned long>(host[1]) << 16 |
                                    static_cast<unsigned long>(host[2]) << 8 | host[3];
    address.sin_addr.s_addr = htonl(hostOrder);
    return address;
}

} // namespace

TuioUdpSender::TuioUdpSender(const driver::IPv4Address& host, int port)
    : host_(host),
      port_(port)
{}

bool TuioUdpSender::Open()
{
    socket_.Reset();
    if (!session_.Started() || port_ < 1 || port_ > 65535) return false;
    common::UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket) return false;
    u_long nonBlocking = 1;
    if (ioctlsocket(socket.Get(), FIONBIO, &nonBlocking) != 0) return false;
    // A connected datagram socket sends to its peer only; connecting sends
    // nothing and waits for nothing.
    const sockaddr_in peer = SocketAddress(host_, port_);
    if (connect(socket.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) return false;
    socket_ = std::move(socket);
    return true;
}

bool TuioUdpSender::Write(const std::uint8_t* data, std::size_t length)
{
    if (!socket_ || !data || length == 0 || length > static_cast<std::size_t>(INT_MAX)) return false;
    const int size = static_cast<int>(length);
    // An earlier datagram that found no listener is reported by the next
    // send, which then did not go: one more try sends it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int sent = send(socket_.Get(), reinterpret_cast<const char*>(data), size, 0);
        if (sent == size) return true;
        if (sent != SOCKET_ERROR) return false;
        const int error = WSAGetLastError();
        if (error != WSAECONNRESET && error != WSAECONNREFUSED) return false;
    }
    return false;
}

std::string TuioUdpSender::LocalAddress() const
{
    sockaddr_in local = {};
    int length = sizeof local;
    if (!socket_ || getsockname(socket_.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
        local.sin_addr.s_addr == htonl(INADDR_ANY))
        return "127.0.0.1";
    const unsigned long address = ntohl(local.sin_addr.s_addr);
    char text[16];
    std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", address >> 24 & 0xFF, address >> 16 & 0xFF, address >> 8 & 0xFF,
                  address & 0xFF);
    return text;
}

std::string TuioUdpSender::Destination() const
{
    char text[24];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u:%d", host_[0], host_[1], host_[2], host_[3], port_);
    return text;
}

} // namespace brelvin
