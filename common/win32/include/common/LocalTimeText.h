#pragma once
// The local time as the suite writes it: in the support log, in reports and
// recordings that people read, and in the names of the files it saves.
#include <string>

namespace common {

// "2026-12-09 11:24:20"
std::string LocalTimeText();
// "2026-12-09 11:24:20.375", for lines that follow each other closely.
std::string LocalTimeTextWithMilliseconds();
// "20261209-112420": sorts by time, and is a valid file name everywhere.
std::string LocalTimeFileStamp();

} // namespace common
