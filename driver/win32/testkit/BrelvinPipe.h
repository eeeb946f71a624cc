#pragma once
// Test kit: a named pipe as a plain blocking channel, either end, one
// synchronous read or write at a time. Mode 1 opens an existing pipe as its
// client (the tests' calibration program); mode 2 creates an instance and
// waits, without a bound, until a client has connected. The driver's own
// forwarding pipe is ForwardingPipeHost's, whose every wait is bounded.
#include "BrelvinIPCBase.h"

#include "common/UniqueHandle.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace brelvin {

class CBrelvinPipe final : public CBrelvinIPCBase {
public:
    static constexpr int kClient = 1;
    static constexpr int kServer = 2;
    static constexpr DWORD kMaxInstances = 50;
    static constexpr DWORD kDefaultTimeoutMs = 1000;

    CBrelvinPipe() = default;

    // `address` is the pipe's name, e.g. "\\.\Pipe\Kelvado". False when no
    // handle could be had or, in mode 2, when the client's connection failed.
    bool Open(int mode, const char* address) override;

    // True only when all `length` bytes were written.
    bool Write(const std::uint8_t* data, std::size_t length) override;

    // One receive of at most `size` bytes; the count received, 0 when
    // nothing could be read.
    int Read(std::uint8_t* buffer, int size);

    // Closes this end, as a client that goes away does.
    void Close() { pipe_.Reset(); }

private:
    bool OpenClient(const char* name);
    bool CreateAndAwaitClient(const char* name);

    common::UniqueHandle pipe_;
};

} // namespace brelvin
