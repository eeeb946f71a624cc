#pragma once
// What an option's text means, judged against the option's entry in the
// table the same way by every reader of the settings: blanks and tabs around
// the text do not count, an empty text means the option's default, and a
// text the option does not allow is refused, its default standing in.
//
// The defaults are the table's `fallback` texts read here, so that no
// reader states a default a second time.
#include "common/Options.h"

#include <string>
#include <string_view>

namespace common {

template <typename T>
struct OptionValue {
    T value{};           // the text's value, or the option's default
    std::string refused; // the refused text without its blanks; empty when none was refused

    bool Refused() const { return !refused.empty(); }
};

// The default of an Integer or Number option.
double DefaultNumber(const Option& option);

OptionValue<int> IntegerValue(const Option& option, std::string_view text);
OptionValue<double> NumberValue(const Option& option, std::string_view text);
OptionValue<IPv4Address> AddressValue(const Option& option, std::string_view text);
// The choice as the table spells it, whatever the text's letter case; it
// points into the table.
OptionValue<std::string_view> ChoiceValue(const Option& option, std::string_view text);
// A choice as the table spells it, or a display's name as the text has it.
OptionValue<std::string> MonitorValue(const Option& option, std::string_view text);

} // namespace common
