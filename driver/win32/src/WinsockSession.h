#pragma once
// One use of Windows Sockets version 1.1, from construction to destruction.
// The application holds one for the whole run; each socket channel holds its
// own as well, so a channel never outlives the library it uses.
#include <winsock2.h>

namespace brelvin {

class WinsockSession {
public:
    WinsockSession();
    ~WinsockSession();

    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;

    // False when the library was missing or offered another version than
    // 1.1; it has been released again in that case.
    bool Started() const { return started_; }

private:
    bool started_ = false;
};

} // namespace brelvin
