#include "PipeSecurity.h"

#include "ProcessIdentity.h"

#include <sddl.h>

#include <string>

namespace brelvin {

PipeSecurity::PipeSecurity()
{
    const std::string sid = TokenUserSid(GetCurrentProcess());
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
