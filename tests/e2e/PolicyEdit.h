#pragma once
// What Group Policy leaves in the registry when it applies the suite's
// policies, written as an administrator's script would: reg.exe in the
// 64-bit view of HKLM\Software\Policies, then the system's announcement.
// Group Policy's own processing is not there under Wine; these stand in for
// its registry writes.
#include "common/Options.h"

#include <string>

namespace e2e {

// The option's policy value, of the type the templates give it; true when
// reg.exe succeeded.
bool SetMachinePolicy(const common::Option& option, const std::string& value);
// Every policy of the suite gone from the machine's part.
bool RemoveMachinePolicies();
// WM_SETTINGCHANGE with "Policy" to every top-level window, as the system
// sends it once Group Policy has been applied.
void AnnouncePolicyChange();

} // namespace e2e
