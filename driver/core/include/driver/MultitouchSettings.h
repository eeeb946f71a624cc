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
// Names, defaults and allowed values are in the table of common/Options.h;
// a policy's value wins over the file's, and the section is read from a
// user's own copy only when it has the section (see common/SectionInForce.h).
//
// Host names are never looked up: a host that is not a numeric address, or a
// port out of range, leaves TUIO off with a fault line.
#include "common/Options.h"
#include "common/SectionInForce.h"
#include "driver/FaultLog.h"

#include <string>

namespace driver {

inline constexpr const char* kMultitouchSection = common::options::kTuio.section;

using common::IPv4Address;
using common::ParseIPv4;

// As read: where the section is silent, the table's defaults.
struct MultitouchSettings {
    bool tuio = false;
    IPv4Address tuioHost{};
    int tuioPort = 0;
    bool touchInjection = false;
    // Where the section came from: false when the settings file in force had
    // it (or is the program folder's copy itself), true when the program
    // folder's copy stood in for a user's copy without one.
    bool fromProgramFolder = false;

    // "a.b.c.d".
    std::string TuioHostText() const;
};

// The section as it is in force. Every fault goes to `faults`.
MultitouchSettings ReadMultitouchSettings(const common::SettingsSources& sources, FaultLog& faults);

} // namespace driver
