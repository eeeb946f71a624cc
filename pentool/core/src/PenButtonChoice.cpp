#include "pentool/PenButtonChoice.h"

#include <string>

namespace pentool {

namespace {

constexpr const char* kSection = "PENVARO";
constexpr const char* kModeKey = "IF_SET_F_NO_T";
constexpr const char* kFrontKey = "BOX1LASTCHOOSE";
constexpr const char* kBackKey = "BOX2LASTCHOOSE";

} // namespace

PenButtonChoice ReadPenButtonChoice(const common::Profile& settings)
{
    const PenButtonChoice defaults;
    PenButtonChoice choice;
    choice.defaultMode = settings.ReadInt(kSection, kModeKey, 0) != 0;
    choice.front = settings.ReadInt(kSection, kFrontKey, defaults.front);
    choice.back = settings.ReadInt(kSection, kBackKey, defaults.back);
    return choice;
}

void WritePenButtonChoice(common::Profile& settings, const PenButtonChoice& choice)
{
    settings.WriteString(kSection, kModeKey, choice.defaultMode ? "1" : "0");
    settings.WriteString(kSection, kFrontKey, std::to_string(choice.front));
    settings.WriteString(kSection, kBackKey, std::to_string(choice.back));
}

int ListItemForStoredIndex(int storedIndex)
{
    return storedIndex >= 0 && storedIndex < kActionCount ? storedIndex : kNoAction;
}

} // namespace pentool
