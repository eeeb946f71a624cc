#include "ProcessIdentity.h"

#include "common/UniqueHandle.h"

#include <sddl.h>

#include <vector>

namespace brelvin {

std::string TokenUserSid(HANDLE process)
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) return std::string();
    common::UniqueHandle token(raw);
    DWORD needed = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &needed);
    if (needed == 0) return std::string();
    std::vector<unsigned char> buffer(needed);
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), needed, &needed)) return std::string();
    char* text = nullptr;
    if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return std::string();
    std::string sid(text);
    LocalFree(text);
    return sid;
}

ProcessIdentity IdentityOfProcess(DWORD processId)
{
    ProcessIdentity identity;
    identity.sessionKnown = ProcessIdToSessionId(processId, &identity.session) != FALSE;
    common::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (process) identity.userSid = TokenUserSid(process.Get());
    return identity;
}

ProcessIdentity IdentityOfThisProcess()
{
    ProcessIdentity identity;
    identity.sessionKnown = ProcessIdToSessionId(GetCurrentProcessId(), &identity.session) != FALSE;
    identity.userSid = TokenUserSid(GetCurrentProcess());
    return identity;
}

ProcessIdentity IdentityOfWindowOwner(HWND window)
{
    DWORD processId = 0;
    if (!window || !GetWindowThreadProcessId(window, &processId) || processId == 0) return ProcessIdentity{};
    return IdentityOfProcess(processId);
}

} // namespace brelvin
