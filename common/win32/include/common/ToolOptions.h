#pragma once
// The options as a tool of the suite reads them when it opens, as the driver
// reads them: a policy's value, else the settings file in force when it has
// the option's section, else the program folder's. A tool makes no per-user
// copy of WBInit.ini; that is the driver's to make at its start.
#include "common/PolicyValues.h"
#include "common/SectionInForce.h"
#include "common/Win32Profile.h"

namespace common {

class ToolOptions {
public:
    // Reads the policies now; the files are read at each look.
    ToolOptions();
    ToolOptions(const ToolOptions&) = delete;
    ToolOptions& operator=(const ToolOptions&) = delete;

    // Valid while this object lives.
    SettingsSources Sources() const { return {settingsInForce_, programFolderCopy_, policies_}; }

private:
    Win32Profile settingsInForce_;
    Win32Profile programFolderCopy_;
    PolicyValues policies_;
};

} // namespace common
