#include "common/DisplaySettings.h"

#include "common/OptionValue.h"

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
    // What is allowed, and what stands in for the rest, is the options
    // table's to say, for the package and the policies too.
    const OptionValue<std::string> monitor = MonitorValue(options::kMonitor, value);
    DisplaySettings settings;
    settings.unknownValue = monitor.refused;
    if (monitor.value == kMonitorPrimary) {
        settings.choice = DisplaySettings::Choice::Primary;
    } else if (monitor.value == kMonitorSecondary) {
        settings.choice = DisplaySettings::Choice::Secondary;
    } else if (monitor.value == kMonitorLargest) {
        settings.choice = DisplaySettings::Choice::Largest;
    } else {
        settings.choice = DisplaySettings::Choice::Device;
        settings.deviceName = monitor.value;
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
