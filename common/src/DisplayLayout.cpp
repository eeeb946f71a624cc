#include "common/DisplayLayout.h"
#include "common/DisplaySettings.h"

#include <algorithm>
#include <cstdint>

namespace common {
namespace {

// What no key of the file can hold: it tells a missing key from any value.
constexpr const char* kMissing = "\x01";

std::string Lower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Left to right, then top to bottom: the order in which "secondary" and
// "largest" take the first of several candidates.
bool ReadsBefore(const MonitorInfo& a, const MonitorInfo& b)
{
    if (a.rect.left != b.rect.left) return a.rect.left < b.rect.left;
    return a.rect.top < b.rect.top;
}

std::int64_t Pixels(const MonitorInfo& monitor)
{
    return static_cast<std::int64_t>(monitor.rect.Width()) * monitor.rect.Height();
}

} // namespace

const MonitorInfo* DisplayLayout::Primary() const
{
    for (const MonitorInfo& monitor : monitors) {
        if (monitor.primary) return &monitor;
    }
    return nullptr;
}

DisplayLayout SingleMonitorLayout(int width, int height)
{
    DisplayLayout layout;
    const PixelRect rect{0, 0, width, height};
    layout.monitors.push_back(MonitorInfo{"\\\\.\\DISPLAY1", rect, rect, true});
    layout.virtualScreen = rect;
    layout.physicalVirtualScreen = rect;
    return layout;
}

std::string DisplaySettings::Text() const
{
    switch (choice) {
    case Choice::Primary: return kMonitorPrimary;
    case Choice::Secondary: return kMonitorSecondary;
    case Choice::Largest: return kMonitorLargest;
    case Choice::Device: return deviceName;
    }
    return kMonitorPrimary;
}

DisplaySettings ParseMonitorChoice(const std::string& value)
{
    DisplaySettings settings;
    const std::string text = Trimmed(value);
    const std::string lower = Lower(text);
    if (lower.empty() || lower == kMonitorPrimary) return settings;
    if (lower == kMonitorSecondary) {
        settings.choice = DisplaySettings::Choice::Secondary;
    } else if (lower == kMonitorLargest) {
        settings.choice = DisplaySettings::Choice::Largest;
    } else if (lower.rfind(kMonitorDevicePrefix, 0) == 0 && lower.size() > std::string(kMonitorDevicePrefix).size()) {
        settings.choice = DisplaySettings::Choice::Device;
        settings.deviceName = text;
    } else {
        settings.unknownValue = text;
    }
    return settings;
}

DisplaySettings ReadDisplaySettings(const Profile& settingsInForce, const Profile& programFolderCopy)
{
    const bool ownKey = settingsInForce.ReadString(kDisplaySection, kMonitorKey, kMissing) != kMissing;
    const Profile& file = ownKey ? settingsInForce : programFolderCopy;
    const std::string value = file.ReadString(kDisplaySection, kMonitorKey, kMissing);
    DisplaySettings settings = ParseMonitorChoice(value == kMissing ? std::string() : value);
    settings.fromProgramFolder = !ownKey && &settingsInForce != &programFolderCopy;
    return settings;
}

const MonitorInfo* ChooseMonitor(const DisplayLayout& layout, const DisplaySettings& settings)
{
    const MonitorInfo* chosen = nullptr;
    switch (settings.choice) {
    case DisplaySettings::Choice::Primary: return layout.Primary();
    case DisplaySettings::Choice::Device:
        for (const MonitorInfo& monitor : layout.monitors) {
            if (Lower(monitor.deviceName) == Lower(settings.deviceName)) return &monitor;
        }
        return nullptr;
    case DisplaySettings::Choice::Secondary:
    case DisplaySettings::Choice::Largest:
        for (const MonitorInfo& monitor : layout.monitors) {
            if (monitor.primary || monitor.rect.Width() <= 0 || monitor.rect.Height() <= 0) continue;
            const bool better =
                !chosen || (settings.choice == DisplaySettings::Choice::Largest && Pixels(monitor) != Pixels(*chosen)
                                ? Pixels(monitor) > Pixels(*chosen)
                                : ReadsBefore(monitor, *chosen));
            if (better) chosen = &monitor;
        }
        return chosen;
    }
    return nullptr;
}

} // namespace common
