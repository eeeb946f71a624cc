#pragma once
// The end of the support log, as the board check shows it.
#include <cstddef>
#include <string>
#include <vector>

namespace boardcheck {

// The newest `count` lines of a text file's contents (any line ends).
std::vector<std::string> LastLines(const std::string& text, std::size_t count);

} // namespace boardcheck
