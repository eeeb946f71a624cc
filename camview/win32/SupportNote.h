#pragma once
// Camvito's lines in the suite's support log.
#include "common/SupportLogFile.h"

#include <string>

namespace camview {

inline void NoteInSupportLog(const std::string& line)
{
    common::SupportLogFile(common::SupportLogFile::DefaultPath(), "Camvito").Append({line});
}

} // namespace camview
