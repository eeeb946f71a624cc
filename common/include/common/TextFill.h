#pragma once
// The one way the suite fills a text of Language.ini: "%1" … "%9" stand for
// what the program found, in the order each language puts them; a "%n"
// without a value stays as written, so a translation with one more
// placeholder shows it rather than losing words.
#include <string>
#include <vector>

namespace common {

std::string FillIn(const std::string& pattern, const std::vector<std::string>& values);

} // namespace common
