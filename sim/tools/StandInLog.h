#pragma once
// A log beside the running stand-in, named after it ("Kelvado.log",
// "Radozi.log"). Each line is appended whole, so another process can poll
// the file while it grows.
#include <string>

namespace sim {

// The running program's folder, ending with a backslash.
std::wstring OwnFolder();

void AppendLogLine(const std::wstring& logName, const std::string& line);

} // namespace sim
