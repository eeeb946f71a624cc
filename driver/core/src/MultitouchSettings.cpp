#include "driver/MultitouchSettings.h"

#include "common/IniDocument.h"

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
    const common::SectionInForce section(kMultitouchSection, sources);

    MultitouchSettings settings;
    settings.fromProgramFolder = section.FromProgramFolder();
    const bool tuioWanted = section.Int(kTuio) != 0;
    settings.tuio = tuioWanted;
    settings.touchInjection = section.Int(kTouchInjection) != 0;

    ParseIPv4(kTuioHost.fallback, settings.tuioHost);
    const std::string host = section.Text(kTuioHost);
    if (!common::TrimBlanks(host).empty() && !ParseIPv4(host, settings.tuioHost)) {
        if (tuioWanted) {
            faults.NoteF("[%s] %s=%s is not a numeric IPv4 address (names are not looked up); TUIO stays off.",
                         kMultitouchSection, kTuioHost.key, host.c_str());
        }
        settings.tuio = false;
    }

    settings.tuioPort = common::ParseProfileInt(kTuioPort.fallback);
    const std::string port = section.Text(kTuioPort);
    if (!common::TrimBlanks(port).empty()) {
        if (common::IsAllowedValue(kTuioPort, port)) {
            settings.tuioPort = common::ParseProfileInt(common::TrimBlanks(port));
        } else {
            if (tuioWanted) {
                faults.NoteF("[%s] %s=%s is not a port number %g..%g; TUIO stays off.", kMultitouchSection,
                             kTuioPort.key, port.c_str(), kTuioPort.minimum, kTuioPort.maximum);
            }
            settings.tuio = false;
        }
    }
    return settings;
}

} // namespace driver
