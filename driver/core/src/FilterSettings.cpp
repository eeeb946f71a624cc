#include "driver/FilterSettings.h"

#include <string>

namespace driver {

const char* Name(FilterMode mode)
{
    switch (mode) {
    case FilterMode::Fixed: return "fixed";
    case FilterMode::Adaptive: return "adaptive";
    }
    return "?";
}

FilterMode FilterModeNamed(std::string_view choice)
{
    return choice == Name(FilterMode::Adaptive) ? FilterMode::Adaptive : FilterMode::Fixed;
}

FilterSettings ReadFilterSettings(const common::SettingsSources& sources, FaultLog& faults)
{
    const common::SectionInForce section(kFilterSection, sources, [&faults](const char* line) {
        faults.NoteF("%s", line);
    });
    FilterSettings settings;
    const std::string instead = std::string("the ") + Name(settings.mode) + " smoothing is used";
    settings.mode = FilterModeNamed(section.Choice(common::options::kFilterMode, instead).value);
    for (const FilterNumberKey& number : kFilterNumberKeys) {
        settings.oneEuro.*number.field = section.Number(*number.option).value;
    }
    return settings;
}

} // namespace driver
