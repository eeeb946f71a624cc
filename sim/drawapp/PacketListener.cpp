#include "PacketListener.h"

#include "sim/LineLog.h"

#include <ws2tcpip.h>

namespace sim {
namespace {

constexpr std::size_t kPacketSize = 8;
constexpr long kSelectMicroseconds = 20000;

} // namespace

std::string PacketHex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

bool PacketListener::Start()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        AppendLine(logPath_, "error listen winsock");
        return false;
    }
    winsockStarted_ = true;
    listener_.Reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kTouchSocketPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!listener_ || bind(listener_.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_.Get(), 5) != 0) {
        AppendLine(logPath_, "error listen " + std::to_string(WSAGetLastError()));
        listener_.Reset();
        return false;
    }
    AppendLine(logPath_, "listening");
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void PacketListener::Stop()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    connections_.clear();
    listener_.Reset();
    if (winsockStarted_) WSACleanup();
    winsockStarted_ = false;
}

void PacketListener::Serve()
{
    while (!stop_) {
        if (dropRequested_.exchange(false)) Drop();
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_.Get(), &readable);
        for (const Connection& connection : connections_) FD_SET(connection.socket.Get(), &readable);
        timeval wait{0, kSelectMicroseconds};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        if (FD_ISSET(listener_.Get(), &readable)) Accept();
        for (auto it = connections_.begin(); it != connections_.end();) {
            if (FD_ISSET(it->socket.Get(), &readable) && !Receive(*it)) {
                AppendLine(logPath_, "closed " + std::to_string(it->number));
                it->socket.Reset();
                it = connections_.erase(it);
            } else {
                ++it;
            }
        }
    }
}

void PacketListener::Drop()
{
    for (Connection& connection : connections_) {
        connection.socket.Reset();
        AppendLine(logPath_, "dropped " + std::to_string(connection.number));
    }
    connections_.clear();
}

void PacketListener::Accept()
{
    common::UniqueSocket accepted(accept(listener_.Get(), nullptr, nullptr));
    if (!accepted) return;
    // select() watches at most FD_SETSIZE sockets; the driver holds one.
    if (connections_.size() + 1 >= FD_SETSIZE) return;
    Connection connection;
    connection.socket = std::move(accepted);
    connection.number = ++accepted_;
    AppendLine(logPath_, "accept " + std::to_string(connection.number));
    connections_.push_back(std::move(connection));
}

bool PacketListener::Receive(Connection& connection)
{
    char buffer[256];
    const int got = recv(connection.socket.Get(), buffer, sizeof buffer, 0);
    if (got <= 0) return false;
    connection.pending.append(buffer, static_cast<std::size_t>(got));
    std::size_t used = 0;
    for (; connection.pending.size() - used >= kPacketSize; used += kPacketSize) {
        AppendLine(logPath_, "packet " + std::to_string(connection.number) + " " +
                                 PacketHex(connection.pending.substr(used, kPacketSize)));
    }
    connection.pending.erase(0, used);
    return true;
}

} // namespace sim
