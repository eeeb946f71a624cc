#include "common/OptionValue.h"

#include "common/DecimalNumber.h"
#include "common/IniDocument.h"

namespace common {
namespace {

// The option's choice that `text` names, or "" when none does.
std::string_view MatchingChoice(const Option& option, std::string_view text)
{
    std::string_view choices = option.choices;
    while (!choices.empty()) {
        const std::size_t bar = choices.find('|');
        const std::string_view choice = choices.substr(0, bar);
        if (SameProfileName(choice, text)) return choice;
        if (bar == std::string_view::npos) break;
        choices.remove_prefix(bar + 1);
    }
    return {};
}

// `convert` gets a text the option allows: the trimmed text, or the
// option's default where the text is empty or refused.
template <typename T, typename Convert>
OptionValue<T> Judge(const Option& option, std::string_view text, Convert convert)
{
    text = TrimBlanks(text);
    OptionValue<T> judged;
    if (!text.empty() && !IsAllowedValue(option, text)) judged.refused = std::string(text);
    judged.value = convert(text.empty() || judged.Refused() ? std::string_view(option.fallback) : text);
    return judged;
}

} // namespace

double DefaultNumber(const Option& option)
{
    return ReadDecimalNumber(option.fallback).value;
}

OptionValue<int> IntegerValue(const Option& option, std::string_view text)
{
    return Judge<int>(option, text, [](std::string_view allowed) {
        long value = 0;
        ParseWholeNumber(allowed, value);
        return static_cast<int>(value);
    });
}

OptionValue<double> NumberValue(const Option& option, std::string_view text)
{
    return Judge<double>(option, text, [](std::string_view allowed) { return ReadDecimalNumber(allowed).value; });
}

OptionValue<IPv4Address> AddressValue(const Option& option, std::string_view text)
{
    return Judge<IPv4Address>(option, text, [](std::string_view allowed) {
        IPv4Address address{};
        ParseIPv4(allowed, address);
        return address;
    });
}

OptionValue<std::string_view> ChoiceValue(const Option& option, std::string_view text)
{
    return Judge<std::string_view>(option, text,
                                   [&option](std::string_view allowed) { return MatchingChoice(option, allowed); });
}

OptionValue<std::string> MonitorValue(const Option& option, std::string_view text)
{
    return Judge<std::string>(option, text, [&option](std::string_view allowed) {
        const std::string_view choice = MatchingChoice(option, allowed);
        return std::string(choice.empty() ? allowed : choice);
    });
}

} // namespace common
