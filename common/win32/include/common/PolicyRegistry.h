#pragma once
// The options Group Policy sets, read from the registry: for every option
// of the table, the value named like its key under
// HKLM\<kPolicyKey>\<section>, and for an option a user may choose, where
// the machine sets none, the same under HKCU.
//
// The registry view: Group Policy's registry extension is a 64-bit part of
// Windows and writes the 64-bit view, so the suite's 32-bit programs open
// the keys with KEY_WOW64_64KEY. On Windows 7 and later Software\Policies is
// shared by both views anyway (and so it is under Wine), so a value written
// by a 32-bit tool is found too; the flag keeps the read on the view Group
// Policy writes whatever a system redirects, and 32-bit Windows ignores it.
//
// Only reading: nothing here creates a key, and with no policy set the
// result is empty.
#include "common/PolicyValues.h"

#include <string>
#include <vector>

namespace common {

struct PolicyReading {
    PolicyValues values;
    // Values that are there but cannot be used (a type that holds neither a
    // number nor a text), one line each, for the support log.
    std::vector<std::string> problems;
};

// `policyKey` is kPolicyKey but in tests, which keep out of the way of the
// programs running beside them.
PolicyReading ReadPolicies(const char* policyKey = kPolicyKey);

} // namespace common
