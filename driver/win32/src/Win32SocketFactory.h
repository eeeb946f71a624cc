#pragma once
// Opens the driver's touch-packet channel on request of the window thread.
#include "driver/ChannelPorts.h"

namespace brelvin {

class Win32SocketFactory final : public driver::SocketChannelFactory {
public:
    std::shared_ptr<driver::ByteChannel> OpenStream(const char* address, int port) override;
};

} // namespace brelvin
