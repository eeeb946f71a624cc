#pragma once
// Section [Multitouch] of WBInit.ini: the outputs that carry every contact,
// both off unless a school switches them on.
//
//   TUIO=1              TUIO 1.1 cursors over UDP, beside everything else
//   TUIO_HOST=a.b.c.d   the listener's numeric IPv4 address (127.0.0.1)
//   TUIO_PORT=n         its UDP port, 1..65535 (3333)
//   TOUCH_INJECTION=1   contacts become the system's touch pointers instead
//                       of the mouse, where the system offers touch injection
//
// A user's own copy of WBInit.ini is made once and never refreshed, so the
// section is read from that copy only when it has one (any of the four keys)
// and otherwise from the program folder's copy: switching an output on there
// reaches every user who has not set it for himself.
//
// Host names are never looked up: a host that is not a numeric address, or a
// port out of range, leaves TUIO off with a fault line.
#include "common/Profile.h"
#include "driver/FaultLog.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace driver {

inline constexpr const char* kMultitouchSection = "Multitouch";
inline constexpr const char* kTuioKey = "TUIO";
inline constexpr const char* kTuioHostKey = "TUIO_HOST";
inline constexpr const char* kTuioPortKey = "TUIO_PORT";
inline constexpr const char* kTouchInjectionKey = "TOUCH_INJECTION";

using IPv4Address = std::array<std::uint8_t, 4>;

struct MultitouchSettings {
    static constexpr int kDefaultTuioPort = 3333;

    bool tuio = false;
    IPv4Address tuioHost{127, 0, 0, 1};
    int tuioPort = kDefaultTuioPort;
    bool touchInjection = false;
    // Where the section came from: false when the settings file in force had
    // it (or is the program folder's copy itself), true when the program
    // folder's copy stood in for a user's copy without one.
    bool fromProgramFolder = false;

    // "a.b.c.d".
    std::string TuioHostText() const;
};

// Reads the section from `settingsInForce` (the file LocateSettingsFile
// chose) when it has the section, else from `programFolderCopy` (the same
// profile for an administrator). Every fault goes to `faults`.
MultitouchSettings ReadMultitouchSettings(const common::Profile& settingsInForce,
                                          const common::Profile& programFolderCopy, FaultLog& faults);

// Four decimal numbers 0..255 separated by dots, nothing else (blanks around
// the whole are allowed). False for anything else, names included.
bool ParseIPv4(std::string_view text, IPv4Address& address);

} // namespace driver
