#pragma once
// The options the suite keeps in WBInit.ini beside the calibration and the
// pen buttons, each defined here once: its section and key, what it may
// hold, its default, the install property that writes it and whether a user
// may choose it. The driver reads them through this table, the package
// checks install properties against it, and the policy templates, the
// package's option rows and the documents' option tables are made from it
// (dist/options/generate.py; an option's texts are in dist/options/).
//
// Group Policy sets an option through a value of the same name as its key,
// under kPolicyKey followed by a backslash and the section:
//
//   HKLM\Software\Policies\CvSoftware\Brelvin\Multitouch   TUIO (REG_DWORD)
//
// and, for an option a user may choose, the same path under HKCU; the
// machine's value wins over the user's. Switches and integers are REG_DWORD,
// everything else REG_SZ holding the text the file would hold.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace common {

inline constexpr const char* kPolicyKey = "Software\\Policies\\CvSoftware\\Brelvin";

// How the system names a display device: "\\.\DISPLAY2".
inline constexpr const char* kDisplayDevicePrefix = "\\\\.\\";

enum class OptionType {
    Switch,  // 0 or 1; the file's reader takes any leading digits, non-zero is on
    Integer, // decimal digits, minimum..maximum
    Number,  // decimal number text ("0.5"), minimum..maximum
    Address, // numeric IPv4 address "a.b.c.d"; names are never looked up
    Choice,  // one of `choices`, without regard to letter case
    Monitor, // one of `choices` as for Choice, or a display device's name:
             // kDisplayDevicePrefix and at least one character more
};

enum class OptionScope {
    Machine, // the PC's board, camera, monitors and outputs: set for the machine only
    User,    // a matter of the person at the board: a user's policy applies where the machine sets none
};

struct Option {
    const char* section;
    const char* key; // also the policy's value name
    OptionType type;
    double minimum;       // Integer and Number
    double maximum;       // Integer and Number
    const char* choices;  // Choice: the allowed values, '|' between them
    const char* fallback; // the default, as the file would hold it
    const char* property; // the package's public property
    OptionScope scope;
    const char* policy = "";    // the Group Policy's name; "Option" and it name the package's component
    const char* component = ""; // that component's GUID, never changed once shipped
};

namespace options {

inline constexpr const char* kMultitouch = "Multitouch";
inline constexpr const char* kDisplay = "Display";
inline constexpr const char* kFilter = "Filter";
inline constexpr const char* kCalibration = "Calibration";
inline constexpr OptionType kSwitch = OptionType::Switch;
inline constexpr OptionType kInteger = OptionType::Integer;
inline constexpr OptionType kNumber = OptionType::Number;
inline constexpr OptionType kAddress = OptionType::Address;
inline constexpr OptionType kChoice = OptionType::Choice;
inline constexpr OptionType kMonitorType = OptionType::Monitor;
inline constexpr OptionScope kMachine = OptionScope::Machine;
inline constexpr OptionScope kUser = OptionScope::User;

// Fields: section, key, type, minimum, maximum, choices, default, property, scope, policy, component.
inline constexpr Option kTuio{kMultitouch, "TUIO", kSwitch, 0, 1, "", "0", "TUIO", kMachine,
                              "Tuio", "{51A1DBC5-8E07-4AD5-811F-1D3084D88672}"};
inline constexpr Option kTuioHost{kMultitouch, "TUIO_HOST", kAddress, 0, 0, "", "127.0.0.1", "TUIO_HOST", kMachine,
                                  "TuioHost", "{06940407-75DF-452D-B1B5-E23B58F4A3A7}"};
inline constexpr Option kTuioPort{kMultitouch, "TUIO_PORT", kInteger, 1, 65535, "", "3333", "TUIO_PORT", kMachine,
                                  "TuioPort", "{658AF619-DE1D-4088-917D-713FA3FA42DA}"};
inline constexpr Option kTouchInjection{kMultitouch, "TOUCH_INJECTION", kSwitch, 0, 1, "", "0",
                                        "TOUCH_INJECTION", kMachine, "TouchInjection",
                                        "{65C398EE-CDEB-4D6F-8B65-E9D695A8003F}"};

// The monitor the board is projected on belongs to the PC. The words are
// those of common/DisplaySettings.h.
inline constexpr Option kMonitor{kDisplay, "MONITOR", kMonitorType, 0, 0, "primary|secondary|largest", "primary",
                                 "MONITOR", kMachine, "Monitor", "{64A3F0FD-550C-4D7B-997C-C40704D12CC4}"};

// Whether to smooth adaptively is a matter of the person writing; the
// numbers describe the board's camera.
inline constexpr Option kFilterMode{kFilter, "MODE", kChoice, 0, 0, "fixed|adaptive", "fixed", "FILTER_MODE", kUser,
                                    "FilterMode", "{2AF8A1A7-7792-4E42-B8C5-7EE1632B936E}"};
inline constexpr Option kFilterMinCutoff{kFilter, "MIN_CUTOFF", kNumber, 0.01, 30, "", "0.5",
                                         "FILTER_MIN_CUTOFF", kMachine, "FilterMinCutoff",
                                         "{DAC2658E-F46D-4415-B253-FEFB08EFD0F5}"};
inline constexpr Option kFilterBeta{kFilter, "BETA", kNumber, 0, 1, "", "0.06", "FILTER_BETA", kMachine,
                                    "FilterBeta", "{84E41DD5-A6DC-4958-BD49-EFA1212104C2}"};
inline constexpr Option kFilterDerivativeCutoff{kFilter, "DERIVATIVE_CUTOFF", kNumber, 0.01, 30, "", "0.7",
                                                "FILTER_DERIVATIVE_CUTOFF", kMachine, "FilterDerivativeCutoff",
                                                "{5FA939CE-94AB-425B-A73E-A7094381CA74}"};
inline constexpr Option kFilterStillSpeed{kFilter, "STILL_SPEED", kNumber, 0, 3000, "", "100",
                                          "FILTER_STILL_SPEED", kMachine, "FilterStillSpeed",
                                          "{36FEFFF1-AD27-475C-B1DD-F104E6DB8D0C}"};

// Which calibration program the PC has installed is the PC's: the suite's
// own one in place of the camera software's (common/CalibrationProgram.h).
inline constexpr Option kOwnCalibrationProgram{kCalibration, "OWN_PROGRAM", kSwitch, 0, 1, "", "0",
                                               "CALIBRATION_OWN_PROGRAM", kMachine, "OwnCalibrationProgram",
                                               "{8AE12032-6FB9-4FF2-A0C6-F9A55D41BC81}"};

} // namespace options

// Every option, sections together, in the order the documents list them.
inline constexpr const Option* kOptions[] = {&options::kTuio,
                                             &options::kTuioHost,
                                             &options::kTuioPort,
                                             &options::kTouchInjection,
                                             &options::kMonitor,
                                             &options::kFilterMode,
                                             &options::kFilterMinCutoff,
                                             &options::kFilterBeta,
                                             &options::kFilterDerivativeCutoff,
                                             &options::kFilterStillSpeed,
                                             &options::kOwnCalibrationProgram};

// The option of that section and key (letter case ignored, as the profile
// functions do), or null.
const Option* FindOption(std::string_view section, std::string_view key);

// Whether the option's value lives in the registry as a REG_DWORD (else as
// REG_SZ).
bool IsDwordOption(const Option& option);

// Whether `text` is a value the option allows, blanks around it ignored: the
// package refuses anything else, and the driver's readers take exactly these
// (they are more lenient only where WBInit.ini always was).
bool IsAllowedValue(const Option& option, std::string_view text);

// What the option allows, for messages: "0 or 1", "a whole number from 1 to
// 65535", "fixed or adaptive", "primary, secondary, largest or a display's
// name such as \\.\DISPLAY2", ...
std::string AllowedValues(const Option& option);

// Without blanks and tabs around it.
std::string_view TrimBlanks(std::string_view text);

// Decimal digits only, no sign, at most 9 of them; false for anything else.
bool ParseWholeNumber(std::string_view text, long& value);

using IPv4Address = std::array<std::uint8_t, 4>;

// Four decimal numbers 0..255 separated by dots, nothing else (blanks around
// the whole are allowed). False for anything else, names included; a
// refused text leaves `address` alone.
bool ParseIPv4(std::string_view text, IPv4Address& address);

} // namespace common
