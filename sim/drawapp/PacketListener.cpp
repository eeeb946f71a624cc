#include "PacketListener.h"

#include "sim/LineLog.h"

#include <ws2tcpip.h>

namespace sim {
namespace {

constexpr std::size_t kPacketSize = 8;
constexpr long kSelectMicroseconds = 20000;

void CloseSocket(SOCKET& socket) {
    if (socket != INVALID_SOCKET) closesocket(socket);
    socket = INVALID_SOCKET;
}

} // namespace

std::string PacketHex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

bool PacketListener::Start() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        AppendLine(logPath_, "error listen winsock");
        return false;
    }
    winsockStarted_ = true;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kTouchSocketPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 5) != 0) {
        AppendLine(logPath_, "error listen " + std::to_string(WSAGetLastError()));
        CloseSocket(listener_);
        return false;
    }
    AppendLine(logPath_, "listening");
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void PacketListener::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    for (Connection& connection : connections_) CloseSocket(connection.socket);
    connections_.clear();
    CloseSocket(listener_);
    if (winsockStarted_) WSACleanup();
    winsockStarted_ = false;
}

void PacketListener::Serve() {
    while (!stop_) {
        if (dropRequested_.exchange(false)) Drop();
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_, &readable);
        for (const Connection& connection : connections_) FD_SET(connection.socket, &readable);
        timeval wait{0, kSelectMicroseconds};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        if (FD_ISSET(listener_, &readable)) Accept();
        for (auto it = connections_.begin(); it != connections_.end();) {
            if (FD_ISSET(it->socket, &readable) && !Receive(*it)) {
                AppendLine(logPath_, "closed " + std::to_string(it->number));
                CloseSocket(it->socket);
                it = connections_.erase(it);
            } else {
                ++it;
            }
        }
    }
}

void PacketListener::Drop() {
    for (Connection& connection : connections_) {
        CloseSocket(connection.socket);
        AppendLine(logPath_, "dropped " + std::to_string(connection.number));
    }
    connections_.clear();
}

void PacketListener::Accept() {
    const SOCKET accepted = accept(listener_, nullptr, nullptr);
    if (accepted == INVALID_SOCKET) return;
    // select() watches at most FD_SETSIZE sockets; the driver holds one.
    if (connections_.size() + 1 >= FD_SETSIZE) {
        closesocket(accepted);
        return;
    }
    Connection connection;
    connection.socket = accepted;
    connection.number = ++accepted_;
    AppendLine(logPath_, "accept " + std::to_string(connection.number));
    connections_.push_back(std::move(connection));
}

bool PacketListener::Receive(Connection& connection) {
    char buffer[256];
    const int got = recv(connection.socket, buffer, sizeof buffer, 0);
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
