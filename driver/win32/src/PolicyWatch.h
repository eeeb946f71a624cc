#pragma once
// The policies in force for the driver: read at start-up and again whenever
// the system announces that Group Policy was applied (WM_SETTINGCHANGE
// with "Policy"). The support log says which options they set each time
// that changes, so a school's IT staff can tell a policy's value from the
// file's; with no policy set it says nothing. The event log hears the same,
// as one event for all sections.
#include "common/PolicyValues.h"
#include "driver/FaultLog.h"

#include <windows.h>

#include <string>
#include <vector>

namespace brelvin {

class PolicyWatch {
public:
    explicit PolicyWatch(driver::FaultLog& log)
        : log_(log)
    {}

    const common::PolicyValues& Values() const { return values_; }

    // Reads the policies again; true when the options they set or the values
    // changed since the last reading.
    bool Refresh();

    // Whether a WM_SETTINGCHANGE's lParam announces a policy change.
    static bool IsPolicyAnnouncement(LPARAM lParam);

private:
    driver::FaultLog& log_;
    common::PolicyValues values_;
    std::vector<std::string> problems_;
};

} // namespace brelvin
