#pragma once
// A byte stream the driver can open by mode and address: the socket to the
// drawing application and the named pipe are its two kinds.
#include "driver/ByteChannel.h"

#include <cstdint>

namespace brelvin {

class CBrelvinIPCBase : public driver::ByteChannel {
public:
    ~CBrelvinIPCBase() override = default;

    // What `mode` means belongs to each kind of channel; `address` is a
    // dotted IPv4 address or a pipe name. Opening again first closes what
    // is open.
    virtual bool Open(int mode, const char* address) = 0;

    // One receive of at most `size` bytes; the count received, 0 when
    // nothing could be read.
    virtual int Read(std::uint8_t* buffer, int size) = 0;
};

} // namespace brelvin
