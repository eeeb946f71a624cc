#include "common/SectionInForce.h"

#include "common/IniDocument.h"

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

} // namespace

SectionInForce::SectionInForce(std::string_view section, const SettingsSources& sources)
    : policies_(sources.policies)
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

} // namespace common
