#pragma once
// The options that Group Policy sets, each with its value as WBInit.ini
// would hold it (a REG_DWORD as its decimal digits). Read from the registry
// by the Windows layer (common/PolicyRegistry.h); empty where no policy is
// set, and then nothing of the settings changes.
#include "common/Options.h"

#include <string>
#include <utility>
#include <vector>

namespace common {

class PolicyValues {
public:
    // A later value for the same option replaces the earlier one.
    void Set(const Option& option, std::string text);

    // The policy's text for the option, or null when no policy sets it.
    const std::string* Find(const Option& option) const;

    bool Empty() const { return values_.empty(); }

    // One text per section, "[Multitouch] TUIO=1, TUIO_PORT=3334", in the
    // table's order, for the support log.
    std::vector<std::string> Describe() const;

    bool operator==(const PolicyValues& other) const { return values_ == other.values_; }
    bool operator!=(const PolicyValues& other) const { return !(*this == other); }

private:
    // In the table's order, so that equal settings compare equal.
    std::vector<std::pair<const Option*, std::string>> values_;
};

} // namespace common
