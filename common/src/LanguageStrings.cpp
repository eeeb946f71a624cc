#include "common/LanguageStrings.h"

namespace common {

std::string LanguageFilePath(const std::string& programFolder)
{
    return programFolder + kLanguageFileName;
}

std::string LanguageText(const Profile& languageIni, const std::string& section, const std::string& key)
{
    return languageIni.ReadString(section, key, kMissingText);
}

DriverStrings LoadDriverStrings(const Profile& languageIni)
{
    DriverStrings texts;
    // The caption key is requested with three trailing blanks; the lookup
    // ignores them and finds the plain key.
    texts.caption = LanguageText(languageIni, "String", "IDS_CONNECTCAP   ");
    texts.alreadyRunning = LanguageText(languageIni, "String", "IDS_SERRUNNING");
    texts.calibrationFailed = LanguageText(languageIni, "String", "IDS_GETPARAMFAIL");
    return texts;
}

} // namespace common
