#include "common/PolicyValues.h"

#include <algorithm>
#include <cstring>

namespace common {
namespace {

std::size_t TablePosition(const Option* option)
{
    return static_cast<std::size_t>(std::find(std::begin(kOptions), std::end(kOptions), option) - std::begin(kOptions));
}

} // namespace

void PolicyValues::Set(const Option& option, std::string text)
{
    auto at = std::find_if(values_.begin(), values_.end(),
                           [&](const auto& value) { return TablePosition(value.first) >= TablePosition(&option); });
    if (at != values_.end() && at->first == &option) {
        at->second = std::move(text);
        return;
    }
    values_.insert(at, {&option, std::move(text)});
}

const std::string* PolicyValues::Find(const Option& option) const
{
    for (const auto& value : values_) {
        if (value.first == &option) return &value.second;
    }
    return nullptr;
}

std::vector<std::string> PolicyValues::Describe() const
{
    std::vector<std::string> texts;
    const char* section = nullptr;
    for (const auto& [option, value] : values_) {
        if (section && std::strcmp(section, option->section) == 0) {
            texts.back() += ", ";
        } else {
            texts.push_back(std::string("[") + option->section + "] ");
            section = option->section;
        }
        texts.back() += std::string(option->key) + "=" + value;
    }
    return texts;
}

} // namespace common
