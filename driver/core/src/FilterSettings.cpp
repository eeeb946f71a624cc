#include "driver/FilterSettings.h"

#include <cctype>
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

namespace {

FilterMode ReadFilterMode(const common::SectionInForce& section, FaultLog& faults)
{
    const common::Option& option = common::options::kFilterMode;
    const std::string text(common::TrimBlanks(section.Text(option)));
    if (text.empty()) return FilterMode::Fixed;
    if (!common::IsAllowedValue(option, text)) {
        faults.NoteF("[%s] %s=%s is neither fixed nor adaptive; the fixed smoothing is used.", option.section,
                     option.key, text.c_str());
        return FilterMode::Fixed;
    }
    std::string lowered = text;
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lowered == Name(FilterMode::Adaptive) ? FilterMode::Adaptive : FilterMode::Fixed;
}

double ReadFilterNumber(const common::SectionInForce& section, const common::Option& option, FaultLog& faults)
{
    double fallback = 0;
    common::ParseDecimalNumber(option.fallback, fallback);
    const std::string text(common::TrimBlanks(section.Text(option)));
    if (text.empty()) return fallback;
    double value = 0;
    if (common::IsAllowedValue(option, text) && common::ParseDecimalNumber(text, value)) return value;
    faults.NoteF("[%s] %s=%s is not a number from %g to %g; the default %g is used.", option.section, option.key,
                 text.c_str(), option.minimum, option.maximum, fallback);
    return fallback;
}

} // namespace

FilterSettings ReadFilterSettings(const common::SettingsSources& sources, FaultLog& faults)
{
    const common::SectionInForce section(kFilterSection, sources);
    FilterSettings settings;
    settings.mode = ReadFilterMode(section, faults);
    for (const FilterNumberKey& number : kFilterNumberKeys) {
        settings.oneEuro.*number.field = ReadFilterNumber(section, *number.option, faults);
    }
    return settings;
}

} // namespace driver
