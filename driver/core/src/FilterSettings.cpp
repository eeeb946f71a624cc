#include "driver/FilterSettings.h"

#include "driver/Calibration.h"

#include <cctype>
#include <string>

namespace driver {
namespace {

// What no key of the file can hold: it tells a missing key from any value.
constexpr const char* kMissing = "\x01";

bool HasSection(const common::Profile& settings)
{
    if (settings.ReadString(kFilterSection, kFilterModeKey, kMissing) != kMissing) return true;
    for (const FilterNumberKey& number : kFilterNumberKeys) {
        if (settings.ReadString(kFilterSection, number.key, kMissing) != kMissing) return true;
    }
    return false;
}

std::string Lowered(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

FilterMode ReadMode(const common::Profile& file, FaultLog& faults)
{
    const std::string text = Trimmed(file.ReadString(kFilterSection, kFilterModeKey, ""));
    const std::string mode = Lowered(text);
    if (mode == "adaptive") return FilterMode::Adaptive;
    if (!mode.empty() && mode != "fixed") {
        faults.NoteF("[%s] %s=%s is neither fixed nor adaptive; the fixed smoothing is used.", kFilterSection,
                     kFilterModeKey, text.c_str());
    }
    return FilterMode::Fixed;
}

double ReadNumber(const common::Profile& file, const FilterNumberKey& number, FaultLog& faults)
{
    const std::string text = Trimmed(file.ReadString(kFilterSection, number.key, ""));
    if (text.empty()) return number.fallback;
    double value = 0;
    if (ParseNumber(text.c_str(), value) && value >= number.minimum && value <= number.maximum) return value;
    faults.NoteF("[%s] %s=%s is not a number from %g to %g; the default %g is used.", kFilterSection, number.key,
                 text.c_str(), number.minimum, number.maximum, number.fallback);
    return number.fallback;
}

} // namespace

const char* Name(FilterMode mode)
{
    switch (mode) {
    case FilterMode::Fixed: return "fixed";
    case FilterMode::Adaptive: return "adaptive";
    }
    return "?";
}

FilterSettings ReadFilterSettings(const common::Profile& settingsInForce, const common::Profile& programFolderCopy,
                                  FaultLog& faults)
{
    const bool fromProgramFolder = &settingsInForce != &programFolderCopy && !HasSection(settingsInForce);
    const common::Profile& file = fromProgramFolder ? programFolderCopy : settingsInForce;

    FilterSettings settings;
    settings.mode = ReadMode(file, faults);
    for (const FilterNumberKey& number : kFilterNumberKeys) {
        settings.oneEuro.*number.field = ReadNumber(file, number, faults);
    }
    return settings;
}

} // namespace driver
