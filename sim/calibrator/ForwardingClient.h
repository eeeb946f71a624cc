#pragma once
// The calibration program's end of the driver's forwarding pipe for one run:
// connects as the pipe's client, then reads on a thread of its own, so the
// driver's synchronous writes never wait on the script, and counts the
// 20-byte records, logging every one that is not all zero.
#include "common/UniqueHandle.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace sim {

inline constexpr const char* kForwardingPipeName = "\\\\.\\Pipe\\Kelvado";

class ForwardingClient {
public:
    ForwardingClient(std::string logPath, int run);
    // Stops the reader and closes the pipe.
    ~ForwardingClient();
    ForwardingClient(const ForwardingClient&) = delete;
    ForwardingClient& operator=(const ForwardingClient&) = delete;

    // Opens the pipe, waiting for the driver's instance to exist and be free,
    // until `timeoutMs` has passed or `stop` is signalled; 0 or the last error.
    unsigned long Connect(HANDLE stop, unsigned timeoutMs);
    // Also after StopReading: reading goes on from where it stopped.
    void StartReading();
    // Reads no more; the pipe stays open.
    void StopReading();

    long Records() const { return records_; }
    long NonZeroRecords() const { return nonZero_; }
    // Until the driver has ended the connection (the reader saw the pipe
    // break); false after `timeoutMs`.
    bool WaitForDisconnect(unsigned timeoutMs) const;

private:
    void Read();
    void TakeBytes(const char* bytes, unsigned long count);

    std::string logPath_;
    int run_;
    common::UniqueHandle pipe_;
    common::UniqueHandle stopReading_;
    common::UniqueHandle readerEnded_;
    std::thread reader_;
    std::vector<unsigned char> partial_;
    std::atomic<long> records_{0};
    std::atomic<long> nonZero_{0};
};

} // namespace sim
