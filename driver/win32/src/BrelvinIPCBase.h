#pragma once
// A byte stream the driver can open by mode and address and write to: the
// socket to the drawing application is the kind it uses. The driver never
// reads from a channel; the test kit's channels add reading of their own.
#include "driver/ByteChannel.h"

namespace brelvin {

class CBrelvinIPCBase : public driver::ByteChannel {
public:
    ~CBrelvinIPCBase() override = default;

    // What `mode` means belongs to each kind of channel; `address` is a
    // dotted IPv4 address or a pipe name. Opening again first closes what
    // is open.
    virtual bool Open(int mode, const char* address) = 0;
};

} // namespace brelvin
