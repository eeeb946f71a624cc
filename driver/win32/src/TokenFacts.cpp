#include "TokenFacts.h"

#include "common/UniqueHandle.h"

namespace brelvin {
namespace {

const char* TokenDword(HANDLE process, TOKEN_INFORMATION_CLASS what)
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) return "unknown";
    common::UniqueHandle token(raw);
    DWORD value = 0;
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), what, &value, sizeof value, &size) || size != sizeof value) return "unknown";
    return value != 0 ? "yes" : "no";
}

} // namespace

const char* ElevationText(HANDLE process)
{
    return TokenDword(process, TokenElevation);
}

const char* VirtualizationText(HANDLE process)
{
    return TokenDword(process, TokenVirtualizationEnabled);
}

} // namespace brelvin
