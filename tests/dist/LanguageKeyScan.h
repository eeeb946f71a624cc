#pragma once
// Finds the Language.ini keys that the programs request, by reading their
// sources: every quoted key name (IDS_..., IDC_..., IDOK, IDCANCEL) with the
// section it is read from. The section is the section literal that stands
// before the key on the same line, or else the one section literal of the
// file and its header (same name, other extension). A key whose section
// cannot be told that way is reported, not guessed.
#include <filesystem>
#include <string>
#include <vector>

namespace dist {

struct RequestedKey {
    std::string section;
    std::string key; // as requested, blanks included
    std::string file;
};

struct KeyScan {
    std::vector<RequestedKey> keys;
    std::vector<std::string> problems;
};

// The sections that hold the suite's texts.
const std::vector<std::string>& LanguageSections();

// Scans the C++ sources (.cpp, .h) below each of `folders`, skipping test
// folders ("tests", "wintests").
KeyScan ScanLanguageKeys(const std::vector<std::filesystem::path>& folders);

} // namespace dist
