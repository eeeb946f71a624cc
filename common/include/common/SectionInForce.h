#pragma once
// One section of the options as they are in force for this user: a policy's
// value first, then the settings file. A user's copy of WBInit.ini is made
// once and never refreshed, so an options section is read from that copy
// only when it has the section (any key of the table's for it), and
// otherwise from the program folder's copy: a change there reaches every
// user who has not set the section for himself. The choice of file is made
// for the whole section, so keys a user's section leaves out take their
// defaults, not the program folder's values.
//
// A value the table does not allow takes the option's default and one line
// for the support log:
//
//   [Filter] BETA=2 is not a number from 0 to 1; the default 0.06 is used.
#include "common/OptionValue.h"
#include "common/Options.h"
#include "common/PolicyValues.h"
#include "common/Profile.h"

#include <functional>
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
    // Takes each line about a refused value; without one, a refusal is told
    // by the getter's answer alone.
    using RefusalNote = std::function<void(const char* line)>;

    SectionInForce(std::string_view section, const SettingsSources& sources, RefusalNote note = {});

    // The option's text: the policy's, else the file's; "" when neither has
    // it (an empty value is "" too).
    std::string Text(const Option& option) const;

    // The option as the profile functions read an integer from that text;
    // the option's default when the text is "".
    int Int(const Option& option) const;

    // A switch is on for any non-zero integer as Int reads it: WBInit.ini
    // was always read that leniently, so nothing is refused.
    bool Switch(const Option& option) const { return Int(option) != 0; }

    // The typed getters answer as common/OptionValue.h judges the option's
    // Text, and tell the note of a refused text in one line,
    // "[Section] KEY=text is ...", that ends as each says; `instead` is what
    // the refusal means for the reader ("TUIO stays off").

    // "... is not a number from 0.01 to 30; the default 0.5 is used."
    OptionValue<double> Number(const Option& option) const;

    // "... is neither fixed nor adaptive; <instead>." (with more than two
    // choices, "is not a, b or c").
    OptionValue<std::string_view> Choice(const Option& option, std::string_view instead) const;

    // "... is not <what> 1..65535; <instead>."
    OptionValue<int> Integer(const Option& option, std::string_view what, std::string_view instead) const;

    // "... is not a numeric IPv4 address (names are not looked up); <instead>."
    OptionValue<IPv4Address> Address(const Option& option, std::string_view instead) const;

    bool FromPolicy(const Option& option) const { return policies_.Find(option) != nullptr; }

    // True when the program folder's copy stood in for a user's copy
    // without the section.
    bool FromProgramFolder() const { return fromProgramFolder_; }

private:
    // "[Section] KEY=refused is <isNot>; <instead>." to the note, if any.
    void TellRefusal(const Option& option, const std::string& refused, std::string_view isNot,
                     std::string_view instead) const;

    const PolicyValues& policies_;
    RefusalNote note_;
    bool fromProgramFolder_ = false;
    const Profile* file_ = nullptr;
};

} // namespace common
