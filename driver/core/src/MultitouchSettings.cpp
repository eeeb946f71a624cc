#include "driver/MultitouchSettings.h"

#include <cstdio>

namespace driver {

std::string MultitouchSettings::TuioHostText() const
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", tuioHost[0], tuioHost[1], tuioHost[2], tuioHost[3]);
    return text;
}

MultitouchSettings ReadMultitouchSettings(const common::SettingsSources& sources, FaultLog& faults)
{
    using namespace common::options;
    constexpr const char* kInstead = "TUIO stays off";
    // A refused host or port matters only to a TUIO that was asked for:
    // only then is it a fault worth a line.
    bool tuioWanted = false;
    const common::SectionInForce section(kMultitouchSection, sources, [&faults, &tuioWanted](const char* line) {
        if (tuioWanted) faults.NoteF("%s", line);
    });
    tuioWanted = section.Switch(kTuio);

    MultitouchSettings settings;
    settings.fromProgramFolder = section.FromProgramFolder();
    settings.touchInjection = section.Switch(kTouchInjection);
    const common::OptionValue<IPv4Address> host = section.Address(kTuioHost, kInstead);
    const common::OptionValue<int> port = section.Integer(kTuioPort, "a port number", kInstead);
    settings.tuioHost = host.value;
    settings.tuioPort = port.value;
    settings.tuio = tuioWanted && !host.Refused() && !port.Refused();
    return settings;
}

} // namespace driver
