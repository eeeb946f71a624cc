#include "common/Options.h"

#include "common/DecimalNumber.h"
#include "common/IniDocument.h"

#include <cstdio>

namespace common {
namespace {

constexpr std::size_t kLongestNumberText = 60;

bool IsOneOfChoices(const Option& option, std::string_view text)
{
    std::string_view choices = option.choices;
    while (!choices.empty()) {
        const std::size_t bar = choices.find('|');
        if (SameProfileName(choices.substr(0, bar), text)) return true;
        if (bar == std::string_view::npos) break;
        choices.remove_prefix(bar + 1);
    }
    return false;
}

bool IsDisplayDeviceName(std::string_view text)
{
    const std::string_view prefix = kDisplayDevicePrefix;
    return text.size() > prefix.size() && text.substr(0, prefix.size()) == prefix;
}

std::string ChoicesText(const Option& option, const char* last)
{
    std::string text;
    std::string_view choices = option.choices;
    for (std::size_t bar; (bar = choices.find('|')) != std::string_view::npos; choices.remove_prefix(bar + 1)) {
        if (!text.empty()) text += ", ";
        text += choices.substr(0, bar);
    }
    if (last) return text + (text.empty() ? "" : ", ") + std::string(choices) + " or " + last;
    return text + (text.empty() ? "" : " or ") + std::string(choices);
}

std::string RangeText(const Option& option)
{
    char text[64];
    std::snprintf(text, sizeof text, "from %g to %g", option.minimum, option.maximum);
    return text;
}

} // namespace

const Option* FindOption(std::string_view section, std::string_view key)
{
    for (const Option* option : kOptions) {
        if (SameProfileName(option->section, section) && SameProfileName(option->key, key)) return option;
    }
    return nullptr;
}

bool IsDwordOption(const Option& option)
{
    return option.type == OptionType::Switch || option.type == OptionType::Integer;
}

bool IsAllowedValue(const Option& option, std::string_view text)
{
    text = TrimBlanks(text);
    switch (option.type) {
    case OptionType::Switch: return text == "0" || text == "1";
    case OptionType::Integer: {
        long value = 0;
        return ParseWholeNumber(text, value) && value >= option.minimum && value <= option.maximum;
    }
    case OptionType::Number: {
        // Unlike a calibration coordinate, "-0", ".0" and a number too small
        // for a double are zero here; and a longer text than
        // kLongestNumberText has always been refused, by the package and the
        // driver alike.
        const DecimalReading number = ReadDecimalNumber(text);
        return number.whole && text.size() <= kLongestNumberText && number.value >= option.minimum &&
               number.value <= option.maximum;
    }
    case OptionType::Address: {
        IPv4Address address{};
        return ParseIPv4(text, address);
    }
    case OptionType::Choice: return IsOneOfChoices(option, text);
    case OptionType::Monitor: return IsOneOfChoices(option, text) || IsDisplayDeviceName(text);
    }
    return false;
}

std::string AllowedValues(const Option& option)
{
    switch (option.type) {
    case OptionType::Switch: return "0 or 1";
    case OptionType::Integer: return "a whole number " + RangeText(option);
    case OptionType::Number: return "a number " + RangeText(option);
    case OptionType::Address: return "a numeric IPv4 address such as 192.168.1.20";
    case OptionType::Choice: return ChoicesText(option, nullptr);
    case OptionType::Monitor: return ChoicesText(option, "a display's name such as \\\\.\\DISPLAY2");
    }
    return std::string();
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool ParseWholeNumber(std::string_view text, long& value)
{
    if (text.empty() || text.size() > 9) return false;
    long parsed = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        parsed = parsed * 10 + (c - '0');
    }
    value = parsed;
    return true;
}

bool ParseIPv4(std::string_view text, IPv4Address& address)
{
    text = TrimBlanks(text);
    IPv4Address parsed{};
    for (std::size_t part = 0; part < parsed.size(); ++part) {
        const std::size_t dot = text.find('.');
        const bool last = part + 1 == parsed.size();
        if (last != (dot == std::string_view::npos)) return false;
        const std::string_view number = text.substr(0, dot);
        long value = 0;
        if (number.size() > 3 || !ParseWholeNumber(number, value) || value > 255) return false;
        parsed[part] = static_cast<std::uint8_t>(value);
        if (!last) text.remove_prefix(dot + 1);
    }
    address = parsed;
    return true;
}

} // namespace common
