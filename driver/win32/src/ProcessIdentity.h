#pragma once
// Who runs a process: the user's identifier as text ("S-1-5-21-...") and the
// logon session. The forwarding pipe admits only the driver's own user, and
// the board check's requests are answered only to that user's windows in the
// driver's own session.
#include <windows.h>

#include <string>

namespace brelvin {

struct ProcessIdentity {
    std::string userSid; // empty when it could not be read
    DWORD session = 0;
    bool sessionKnown = false;

    bool Known() const { return !userSid.empty() && sessionKnown; }
    // Both known and equal: a failure to read either side never admits.
    bool SameAs(const ProcessIdentity& other) const
    {
        return Known() && other.Known() && userSid == other.userSid && session == other.session;
    }
};

// The token user of `process` (opened with at least PROCESS_QUERY_LIMITED_INFORMATION).
std::string TokenUserSid(HANDLE process);
ProcessIdentity IdentityOfProcess(DWORD processId);
ProcessIdentity IdentityOfThisProcess();
// The identity of the process that owns `window`; unknown for no window.
ProcessIdentity IdentityOfWindowOwner(HWND window);

} // namespace brelvin
