#pragma once
// A parsed INI text with the platform profile functions' matching rules:
// - lines end at CR or LF; blanks around every line are dropped;
// - "[name]" opens a section named by what stands between '[' and the last
//   ']', without surrounding blanks;
// - any other line is a key: the name before the first '=', the value after
//   it, both without surrounding blanks; a line without '=' is a key without a
//   value (comments are such keys);
// - section and key names compare without regard to ASCII letter case, and
//   blanks around a requested name do not take part;
// - only the first section of a name is searched, and in it the first key of
//   a name;
// - a value enclosed in matching single or double quotes loses them.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view text);

    // Value of a key as the profile string function returns it into a buffer
    // of `bufferChars` characters (terminator included); nullopt when the
    // section or the key is missing, or the key has no '='.
    std::optional<std::string> Find(std::string_view section, std::string_view key, std::size_t bufferChars) const;

    // Sets a key, adding the section and the key when missing.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // The file's text as it is to be written back.
    std::string Text() const;

private:
    struct Key {
        std::string name;
        std::optional<std::string> value;
    };
    struct Section {
        std::string name;
        std::vector<Key> keys;
    };

    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);

    std::vector<Section> sections_;
};

// What the profile functions answer when they read a key of `document`: the
// integer of a value that is there and not empty, else `fallback`...
int ReadProfileInt(const IniDocument& document, std::string_view section, std::string_view key, int fallback);
// ...and the text of a value, cut to the suite's buffers, else `fallback`
// without its trailing blanks.
std::string ReadProfileString(const IniDocument& document, std::string_view section, std::string_view key,
                              const std::string& fallback);

// Blanks as the profile functions see them (white space and the DOS
// end-of-file character).
bool IsProfileBlank(char c);
// The text without those blanks around it.
std::string_view TrimProfileBlanks(std::string_view text);

// Requested names lose surrounding blanks before they are compared...
std::string_view TrimProfileName(std::string_view name);
// ...and are compared without regard to the letter case of A-Z.
bool SameProfileName(std::string_view a, std::string_view b);

// A UTF-8 byte-order mark at the start of a text belongs to no line.
std::string_view WithoutByteOrderMark(std::string_view text);

// The integer the profile functions make of a value text: blanks skipped,
// optional sign, decimal digits (or binary, octal, hexadecimal after "0b",
// "0o", "0x"), wrap-around on overflow.
int ParseProfileInt(std::string_view text);

} // namespace common
