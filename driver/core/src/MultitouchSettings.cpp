#include "driver/MultitouchSettings.h"

#include "Blanks.h"

#include <cstdio>

namespace driver {
namespace {

// What no key of the file can hold: it tells a missing key from any value.
constexpr const char* kMissing = "\x01";

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Decimal digits only, at most `maxDigits` of them.
bool ParseDecimal(std::string_view text, std::size_t maxDigits, long& value)
{
    if (text.empty() || text.size() > maxDigits) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool HasSection(const common::Profile& settings)
{
    for (const char* key : {kTuioKey, kTuioHostKey, kTuioPortKey, kTouchInjectionKey}) {
        if (settings.ReadString(kMultitouchSection, key, kMissing) != kMissing) return true;
    }
    return false;
}

// The key's text, or "" when it is missing.
std::string Text(const common::Profile& settings, const char* key)
{
    std::string text = settings.ReadString(kMultitouchSection, key, kMissing);
    return text == kMissing ? std::string() : text;
}

} // namespace

std::string MultitouchSettings::TuioHostText() const
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", tuioHost[0], tuioHost[1], tuioHost[2], tuioHost[3]);
    return text;
}

bool ParseIPv4(std::string_view text, IPv4Address& address)
{
    text = Trimmed(text);
    IPv4Address parsed{};
    for (std::size_t part = 0; part < parsed.size(); ++part) {
        const std::size_t dot = text.find('.');
        const bool last = part + 1 == parsed.size();
        if (last != (dot == std::string_view::npos)) return false;
        long value = 0;
        if (!ParseDecimal(text.substr(0, dot), 3, value) || value > 255) return false;
        parsed[part] = static_cast<std::uint8_t>(value);
        if (!last) text.remove_prefix(dot + 1);
    }
    address = parsed;
    return true;
}

MultitouchSettings ReadMultitouchSettings(const common::Profile& settingsInForce,
                                          const common::Profile& programFolderCopy, FaultLog& faults)
{
    MultitouchSettings settings;
    settings.fromProgramFolder = &settingsInForce != &programFolderCopy && !HasSection(settingsInForce);
    const common::Profile& file = settings.fromProgramFolder ? programFolderCopy : settingsInForce;

    const bool tuioWanted = file.ReadInt(kMultitouchSection, kTuioKey, 0) != 0;
    settings.tuio = tuioWanted;
    settings.touchInjection = file.ReadInt(kMultitouchSection, kTouchInjectionKey, 0) != 0;

    const std::string host = Text(file, kTuioHostKey);
    if (!Trimmed(host).empty() && !ParseIPv4(host, settings.tuioHost)) {
        if (tuioWanted) {
            faults.NoteF("[%s] %s=%s is not a numeric IPv4 address (names are not looked up); TUIO stays off.",
                         kMultitouchSection, kTuioHostKey, host.c_str());
        }
        settings.tuio = false;
    }

    const std::string port = Text(file, kTuioPortKey);
    long value = 0;
    if (!Trimmed(port).empty()) {
        if (ParseDecimal(Trimmed(port), 5, value) && value >= 1 && value <= 65535) {
            settings.tuioPort = static_cast<int>(value);
        } else {
            if (tuioWanted) {
                faults.NoteF("[%s] %s=%s is not a port number 1..65535; TUIO stays off.", kMultitouchSection,
                             kTuioPortKey, port.c_str());
            }
            settings.tuio = false;
        }
    }
    return settings;
}

} // namespace driver
