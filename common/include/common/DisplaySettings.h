#pragma once
// Section [Display] of WBInit.ini: which monitor the board is projected on,
// and what each value means. The option itself, what it allows included, is
// options::kMonitor of the table in common/Options.h.
//
//   MONITOR=primary     the primary screen (the default, as when the key is
//                       missing)
//   MONITOR=secondary   the monitor that is not the primary; with several,
//                       the first of them from left to right (then from top
//                       to bottom)
//   MONITOR=largest     the non-primary monitor with the most pixels (the
//                       first of equals, in the same order)
//   MONITOR=\\.\DISPLAY2  that device; its name may change when the machine
//                       restarts or is docked, so the two above are the
//                       ones that keep working
//
// Values are compared without regard to letter case. A chosen monitor that
// is not there, or a value that is none of these, falls back to the primary
// screen; the board returns to the chosen monitor once it is there again.
//
// A policy's value wins over the file's, and the section is read from a
// user's own copy only when it has the key (see common/SectionInForce.h).
#include "common/DisplayLayout.h"
#include "common/Options.h"
#include "common/SectionInForce.h"

#include <string>

namespace common {

inline constexpr const char* kDisplaySection = options::kMonitor.section;
inline constexpr const char* kMonitorKey = options::kMonitor.key;
// The words of the option's choices.
inline constexpr const char* kMonitorPrimary = "primary";
inline constexpr const char* kMonitorSecondary = "secondary";
inline constexpr const char* kMonitorLargest = "largest";

struct DisplaySettings {
    enum class Choice { Primary, Secondary, Largest, Device };
    Choice choice = Choice::Primary;
    std::string deviceName; // Device only
    // The key's text when it is none of the values above (the primary screen
    // stands in); empty otherwise.
    std::string unknownValue;
    // The program folder's copy stood in for a user's copy without the key.
    bool fromProgramFolder = false;

    bool IsDefault() const { return choice == Choice::Primary; }
    // "primary", "secondary", "largest" or the device name.
    std::string Text() const;
};

DisplaySettings ParseMonitorChoice(const std::string& value);

// The section as it is in force: the policy's value, else the file's.
DisplaySettings ReadDisplaySettings(const SettingsSources& sources);

// The monitor the settings choose, or null when it is not in `layout` (the
// caller falls back to the primary screen). Primary answers the layout's
// primary monitor.
const MonitorInfo* ChooseMonitor(const DisplayLayout& layout, const DisplaySettings& settings);

} // namespace common
