#include "common/SectionInForce.h"

#include "common/IniDocument.h"

#include <cstdio>
#include <utility>

namespace common {
namespace {

// What no key of the file can hold: it tells a missing key from any value.
constexpr const char* kNoSuchKey = "\x01";

bool HasSection(const Profile& file, std::string_view section)
{
    for (const Option* option : kOptions) {
        if (option->section != section) continue;
        if (file.ReadString(option->section, option->key, kNoSuchKey) != kNoSuchKey) return true;
    }
    return false;
}

// As %g writes it: "0.06", "3000", "65535".
std::string Shortest(double number)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", number);
    return text;
}

// "neither fixed nor adaptive"; "not a, b or c" for more choices than two.
std::string NoneOfTheChoices(const Option& option)
{
    const std::string_view choices = option.choices;
    const std::size_t bar = choices.find('|');
    if (bar != std::string_view::npos && choices.find('|', bar + 1) == std::string_view::npos) {
        return "neither " + std::string(choices.substr(0, bar)) + " nor " + std::string(choices.substr(bar + 1));
    }
    return "not " + AllowedValues(option);
}

} // namespace

SectionInForce::SectionInForce(std::string_view section, const SettingsSources& sources, RefusalNote note)
    : policies_(sources.policies),
      note_(std::move(note))
{
    fromProgramFolder_ =
        &sources.settingsInForce != &sources.programFolderCopy && !HasSection(sources.settingsInForce, section);
    file_ = fromProgramFolder_ ? &sources.programFolderCopy : &sources.settingsInForce;
}

std::string SectionInForce::Text(const Option& option) const
{
    if (const std::string* policy = policies_.Find(option)) return *policy;
    const std::string text = file_->ReadString(option.section, option.key, kNoSuchKey);
    return text == kNoSuchKey ? std::string() : text;
}

int SectionInForce::Int(const Option& option) const
{
    // The profile functions read an integer's text into 30 characters.
    const std::string text = Text(option).substr(0, 29);
    return ParseProfileInt(text.empty() ? option.fallback : text);
}

OptionValue<double> SectionInForce::Number(const Option& option) const
{
    OptionValue<double> judged = NumberValue(option, Text(option));
    if (judged.Refused()) {
        TellRefusal(option, judged.refused, "not " + AllowedValues(option),
                    "the default " + Shortest(DefaultNumber(option)) + " is used");
    }
    return judged;
}

OptionValue<std::string_view> SectionInForce::Choice(const Option& option, std::string_view instead) const
{
    OptionValue<std::string_view> judged = ChoiceValue(option, Text(option));
    if (judged.Refused()) TellRefusal(option, judged.refused, NoneOfTheChoices(option), instead);
    return judged;
}

OptionValue<int> SectionInForce::Integer(const Option& option, std::string_view what, std::string_view instead) const
{
    OptionValue<int> judged = IntegerValue(option, Text(option));
    if (judged.Refused()) {
        TellRefusal(option, judged.refused,
                    "not " + std::string(what) + " " + Shortest(option.minimum) + ".." + Shortest(option.maximum),
                    instead);
    }
    return judged;
}

OptionValue<IPv4Address> SectionInForce::Address(const Option& option, std::string_view instead) const
{
    OptionValue<IPv4Address> judged = AddressValue(option, Text(option));
    if (judged.Refused()) {
        TellRefusal(option, judged.refused, "not a numeric IPv4 address (names are not looked up)", instead);
    }
    return judged;
}

void SectionInForce::TellRefusal(const Option& option, const std::string& refused, std::string_view isNot,
                                 std::string_view instead) const
{
    if (!note_) return;
    const std::string line = "[" + std::string(option.section) + "] " + option.key + "=" + refused + " is " +
                             std::string(isNot) + "; " + std::string(instead) + ".";
    note_(line.c_str());
}

} // namespace common
