#include "Win32SocketFactory.h"

#include "BrelvinSocket.h"

namespace brelvin {

std::shared_ptr<driver::ByteChannel> Win32SocketFactory::OpenStream(const char* address, int port)
{
    auto channel = std::make_shared<CBrelvinSocket>(port);
    if (!channel->Open(CBrelvinSocket::kConnect, address)) return nullptr;
    return channel;
}

} // namespace brelvin
