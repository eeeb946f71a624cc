#include "ProgramTexts.h"

#include "common/LanguageStrings.h"
#include "common/TextEncoding.h"
#include "common/Win32Profile.h"
#include "common/Win32System.h"

namespace kalmeno {

calibration::KalmenoTexts LoadProgramTexts()
{
    const std::wstring file = common::Wide(common::LanguageFilePath(common::Utf8(common::ProgramFolderW())));
    const std::wstring section = common::Wide(calibration::texts::kSection);
    calibration::KalmenoTexts texts;
    for (const std::string& key : calibration::KalmenoTextKeys())
        texts.Set(key, common::Utf8(common::ReadLanguageTextW(file, section.c_str(), common::Wide(key).c_str())));
    return texts;
}

} // namespace kalmeno
