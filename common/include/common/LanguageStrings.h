#pragma once
// Language.ini: every user-visible text that is not fixed in a dialog
// template. Each program reads it from its own folder; a missing file,
// section or key gives the text "GetError".
#include "common/Profile.h"

#include <string>

namespace common {

inline constexpr const char* kLanguageFileName = "Language.ini";
inline constexpr const char* kMissingText = "GetError";

// Language.ini beside the program; `programFolder` ends with a backslash.
std::string LanguageFilePath(const std::string& programFolder);

// One text of the strings file.
std::string LanguageText(const Profile& languageIni, const std::string& section, const std::string& key);

// The driver's three texts, all from section "String".
struct DriverStrings {
    std::string caption;           // "IDS_CONNECTCAP   ": caption of both driver boxes
    std::string alreadyRunning;    // "IDS_SERRUNNING": second copy started
    std::string calibrationFailed; // "IDS_GETPARAMFAIL": calibration load reported failure
};

DriverStrings LoadDriverStrings(const Profile& languageIni);

} // namespace common
