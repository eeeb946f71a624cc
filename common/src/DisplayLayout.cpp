#include "common/DisplayLayout.h"
#include "common/DisplaySettings.h"

#include <algorithm>
#include <cstdint>

namespace common {
namespace {

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
    if (text.empty()) return settings;
    // What is allowed is the options table's to say, for the package and
    // the policies too.
    if (!IsAllowedValue(options::kMonitor, text)) {
        settings.unknownValue = text;
        return settings;
    }
    const std::string lower = Lower(text);
    if (lower == kMonitorSecondary) {
        settings.choice = DisplaySettings::Choice::Secondary;
    } else if (lower == kMonitorLargest) {
        settings.choice = DisplaySettings::Choice::Largest;
    } else if (lower != kMonitorPrimary) {
        settings.choice = DisplaySettings::Choice::Device;
        settings.deviceName = text;
    }
    return settings;
}

DisplaySettings ReadDisplaySettings(const SettingsSources& sources)
{
    const SectionInForce section(kDisplaySection, sources);
    DisplaySettings settings = ParseMonitorChoice(section.Text(options::kMonitor));
    settings.fromProgramFolder = section.FromProgramFolder();
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
