#pragma once
// The drawing application's end of the touch socket: listens on
// 127.0.0.1:6171, takes every connection the driver makes and logs each
// 8-byte packet it receives, on a thread of its own with a stop.
//
// Log lines: `listening` once the port is open (or `error listen <code>`),
// `accept <n>` per connection (counted from 1), `packet <n> <16 hex digits>`
// per packet, `closed <n>` when the driver ends connection n, `dropped <n>`
// when this end closes connection n on request.
#include <winsock2.h>

#include "common/UniqueSocket.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace sim {

inline constexpr unsigned short kTouchSocketPort = 6171;

class PacketListener {
public:
    explicit PacketListener(std::string logPath)
        : logPath_(std::move(logPath))
    {}
    ~PacketListener() { Stop(); }
    PacketListener(const PacketListener&) = delete;
    PacketListener& operator=(const PacketListener&) = delete;

    // False (with the reason logged) when the port cannot be opened.
    bool Start();
    void Stop();
    // From any thread: the listener closes every connection it holds (and
    // goes on taking new ones).
    void DropConnections() { dropRequested_ = true; }

private:
    struct Connection {
        common::UniqueSocket socket;
        int number = 0;
        std::string pending;
    };

    void Serve();
    void Drop();
    void Accept();
    // False when the peer has gone.
    bool Receive(Connection& connection);

    std::string logPath_;
    bool winsockStarted_ = false;
    common::UniqueSocket listener_;
    std::vector<Connection> connections_;
    int accepted_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> dropRequested_{false};
    std::thread thread_;
};

// The bytes as upper-case hexadecimal digits, two per byte.
std::string PacketHex(const std::string& bytes);

} // namespace sim
