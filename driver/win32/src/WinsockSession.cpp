#include "WinsockSession.h"

namespace brelvin {

WinsockSession::WinsockSession()
{
    const WORD wanted = MAKEWORD(1, 1);
    WSADATA data = {};
    if (WSAStartup(wanted, &data) != 0) return;
    if (data.wVersion != wanted) {
        WSACleanup();
        return;
    }
    started_ = true;
}

WinsockSession::~WinsockSession()
{
    if (started_) WSACleanup();
}

} // namespace brelvin
