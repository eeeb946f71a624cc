#pragma once
// Facts of a process's token that a support call needs: whether it runs
// elevated, and whether the system redirects its writes to protected folders
// (file virtualization). Each answers "yes", "no" or "unknown".
#include <windows.h>

namespace brelvin {

const char* ElevationText(HANDLE process);
const char* VirtualizationText(HANDLE process);

} // namespace brelvin
