#pragma once
// Kalmeno's texts as the tools read theirs: Language.ini from the program's
// own folder, with the wide profile function, each text falling back to
// its built-in English one.
#include "calibration/KalmenoTexts.h"

namespace kalmeno {

calibration::KalmenoTexts LoadProgramTexts();

} // namespace kalmeno
