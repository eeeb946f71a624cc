#include "PipeSecurity.h"

#include "common/UniqueHandle.h"

#include <sddl.h>

#include <string>
#include <vector>

namespace brelvin {
namespace {

// The token user's identifier as text ("S-1-5-21-..."), empty on failure.
std::string TokenUserSid()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return std::string();
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

} // namespace

PipeSecurity::PipeSecurity()
{
    const std::string sid = TokenUserSid();
    if (sid.empty()) return;
    // A protected list with one entry: full access for that user.
    const std::string sddl = "D:P(A;;GA;;;" + sid + ")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return;
    descriptor_.reset(descriptor);
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor;
    attributes_.bInheritHandle = FALSE;
}

} // namespace brelvin
