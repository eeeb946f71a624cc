#pragma once
// One section of the options as they are in force for this user: a policy's
// value first, then the settings file. A user's copy of WBInit.ini is made
// once and never refreshed, so an options section is read from that copy
// only when it has the section (any key of the table's for it), and
// otherwise from the program folder's copy: a change there reaches every
// user who has not set the section for himself. The choice of file is made
// for the whole section, so keys a user's section leaves out take their
// defaults, not the program folder's values.
#include "common/Options.h"
#include "common/PolicyValues.h"
#include "common/Profile.h"

#include <string>
#include <string_view>

namespace common {

// Where the options come from.
struct SettingsSources {
    const Profile& settingsInForce;   // the file LocateSettingsFile chose
    const Profile& programFolderCopy; // the same profile for an administrator
    const PolicyValues& policies;
};

class SectionInForce {
public:
    SectionInForce(std::string_view section, const SettingsSources& sources);

    // The option's text: the policy's, else the file's; "" when neither has
    // it (an empty value is "" too).
    std::string Text(const Option& option) const;

    // The option as the profile functions read an integer from that text;
    // the option's default when the text is "".
    int Int(const Option& option) const;

    bool FromPolicy(const Option& option) const { return policies_.Find(option) != nullptr; }

    // True when the program folder's copy stood in for a user's copy
    // without the section.
    bool FromProgramFolder() const { return fromProgramFolder_; }

private:
    const PolicyValues& policies_;
    bool fromProgramFolder_ = false;
    const Profile* file_ = nullptr;
};

} // namespace common
