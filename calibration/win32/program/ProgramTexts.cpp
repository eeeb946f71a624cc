#include "ProgramTexts.h"

#include "WideText.h"

#include "common/LanguageStrings.h"
#include "common/Win32Profile.h"
#include "common/Win32System.h"

namespace kalmeno {

calibration::KalmenoTexts LoadProgramTexts()
{
    const std::wstring file = Wide(common::LanguageFilePath(Utf8(common::ProgramFolderW())));
    const std::wstring section = Wide(calibration::texts::kSection);
    calibration::KalmenoTexts texts;
    for (const std::string& key : calibration::KalmenoTextKeys())
        texts.Set(key, Utf8(common::ReadLanguageTextW(file, section.c_str(), Wide(key).c_str())));
    return texts;
}

} // namespace kalmeno
