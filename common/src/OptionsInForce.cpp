#include "common/OptionsInForce.h"

#include <cstring>
#include <memory>

namespace common {

std::string DescribeOptionsInForce(const SettingsSources& sources)
{
    std::string text;
    const char* section = nullptr;
    std::unique_ptr<SectionInForce> inForce;
    for (const Option* option : kOptions) {
        if (section && std::strcmp(section, option->section) == 0) {
            text += ", ";
        } else {
            // The file is chosen per section, as the driver reads it.
            section = option->section;
            inForce = std::make_unique<SectionInForce>(section, sources);
            text += (text.empty() ? "[" : "; [") + std::string(section) + "] ";
        }
        std::string value = inForce->Text(*option);
        if (value.empty()) value = option->fallback;
        text += std::string(option->key) + "=" + value;
        if (inForce->FromPolicy(*option)) text += " (policy)";
    }
    return text;
}

} // namespace common
