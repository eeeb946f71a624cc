#pragma once
// A settings text edited line by line: the keys set or removed change, every
// other line stays as it was, byte for byte (comments, blank lines, order,
// letter case, line endings, other sections).
//
// Keys are found as the profile functions find them when they read
// (common/IniDocument.h): section and key names without regard to letter
// case or surrounding blanks, only the first section of a name, and in it
// the first key of a name. So a key set here is the one a reader gets.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace calibration {

class IniLines {
public:
    explicit IniLines(std::string_view text);

    // The first key of that name in the first section of that name gets the
    // value (its name and the blanks before '=' stay as written). A missing
    // key is added after the section's last key; a missing section is added
    // at the end of the text.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // Removes the lines of the keys in the first section of that name whose
    // names (as written, without surrounding blanks) `doomed` answers true for.
    void RemoveKeys(std::string_view section, const std::function<bool(std::string_view name)>& doomed);

    std::string Text() const;

private:
    struct Line {
        std::string text;   // without its ending
        std::string ending; // "\r\n", "\n", "\r" or empty (the last line)
    };

    // Index of the first line of the first section of that name (its header),
    // or -1.
    int FindSection(std::string_view section) const;
    // One past the section's last line: the next header, or the end.
    int SectionEnd(int header) const;
    int FindKey(int header, std::string_view key) const;
    void AppendLine(int at, std::string text);

    std::vector<Line> lines_;
    std::string newline_ = "\r\n"; // what added lines end with: the text's own
};

// The name of a key line as the profile functions read it: the text before
// the first '=' without surrounding blanks; empty for headers and blank lines.
std::string_view KeyNameOf(std::string_view line);

} // namespace calibration
