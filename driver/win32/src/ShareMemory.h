#pragma once
// The shared block the camera service writes touch records into, and its
// named mutex. Either side may create them; the other opens the same names.
#include "common/UniqueHandle.h"

#include <windows.h>

#include <cstddef>
#include <string>

namespace brelvin {

inline constexpr const char* kTouchBlockName = "MMZorvikBoard";
inline constexpr DWORD kTouchBlockSize = 20;

class CShareMemory {
public:
    // How long a read waits for the camera service to let go of the lock.
    // The service holds it only to copy 20 bytes; a service that hangs
    // holding it must not stop the worker, whose read then counts as empty.
    static constexpr DWORD kLockWaitMs = 25;

    CShareMemory() = default;
    virtual ~CShareMemory();

    CShareMemory(const CShareMemory&) = delete;
    CShareMemory& operator=(const CShareMemory&) = delete;

    // Creates or opens the mapping `name` and the mutex `name` + "Mtx", maps
    // the whole block and zeroes its first `sizeLow` bytes. 0 on success,
    // otherwise the system error of the failing step (87 for a null name);
    // on failure nothing stays open. Creating again first closes what is open.
    DWORD Create(const char* name, DWORD sizeLow, DWORD sizeHigh, DWORD protection, SECURITY_ATTRIBUTES* security);

    // Copies `length` bytes at `offset` to `destination` and zeroes them in
    // the block, under the mutex. 0 after a copy; otherwise the wait status
    // (WAIT_TIMEOUT after `lockWaitMs`, or an error code when the block is
    // not open or the range does not fit) and `destination` is left as it
    // was. An abandoned mutex is owned all the same; it is released and the
    // status returned.
    DWORD Read(void* destination, std::size_t length, std::size_t offset, DWORD lockWaitMs = kLockWaitMs);

    void Close();

    bool IsOpen() const { return open_ != 0; }

private:
    std::string name_;
    common::UniqueHandle mapping_;
    common::UniqueHandle mutex_;
    int open_ = 0;
    common::UniqueView view_;
    std::size_t viewSize_ = 0;
};

} // namespace brelvin
