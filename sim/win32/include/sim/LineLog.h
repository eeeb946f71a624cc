#pragma once
// Log files that other processes read while they grow: every line is one
// append of the whole line with "\r\n", the file opened and closed around it.
#include <string>

namespace sim {

bool AppendLine(const std::string& path, const std::string& line);
// Several lines in one append (used by writers that buffer).
bool AppendText(const std::string& path, const std::string& text);

// The whole file as it is now; empty when it does not exist.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& text);

// Microseconds of the high-resolution counter; comparable across processes.
long long NowMicroseconds();

} // namespace sim
