#include "common/IniDocument.h"
#include "common/Profile.h"

#include <cstdint>

namespace common {
namespace {

// The profile functions drop trailing blanks from a default text.
std::string TrimDefault(const std::string& fallback)
{
    std::size_t end = fallback.size();
    while (end > 0 && fallback[end - 1] == ' ') --end;
    return fallback.substr(0, end);
}

// The platform reads an integer's value into a buffer of this many
// characters first.
constexpr std::size_t kIntegerBufferChars = 30;

} // namespace

int ReadProfileInt(const IniDocument& document, std::string_view section, std::string_view key, int fallback)
{
    auto value = document.Find(section, key, kIntegerBufferChars);
    if (!value || value->empty()) return fallback;
    return ParseProfileInt(*value);
}

std::string ReadProfileString(const IniDocument& document, std::string_view section, std::string_view key,
                              const std::string& fallback)
{
    auto value = document.Find(section, key, kProfileBufferChars);
    if (value) return *value;
    return TrimDefault(fallback).substr(0, kProfileBufferChars - 1);
}

bool IsProfileBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0x1A;
}

std::string_view TrimProfileBlanks(std::string_view s)
{
    while (!s.empty() && IsProfileBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsProfileBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view TrimProfileName(std::string_view name)
{
    return TrimProfileBlanks(name);
}

bool SameProfileName(std::string_view a, std::string_view b)
{
    const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

std::string_view WithoutByteOrderMark(std::string_view text)
{
    if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
        static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF)
        text.remove_prefix(3);
    return text;
}

int ParseProfileInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // "0b", "0o" and "0x" (lower case only) switch the base, as the
    // platform's integer conversion does.
    std::uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char prefix = text[i + 1];
        if (prefix == 'b' || prefix == 'o' || prefix == 'x') {
            base = prefix == 'b' ? 2 : prefix == 'o' ? 8 : 16;
            i += 2;
        }
    }
    std::uint32_t total = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        std::uint32_t digit = 99;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'z')
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'Z')
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        if (digit >= base) break;
        total = total * base + digit;
    }
    if (negative) total = 0u - total;
    return static_cast<int>(total);
}

IniDocument::IniDocument(std::string_view text)
{
    text = WithoutByteOrderMark(text);
    Section* current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = TrimProfileBlanks(text.substr(pos, end - pos));
        pos = end;
        while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n')) ++pos;
        if (line.empty()) continue;

        if (line.front() == '[') {
            std::size_t close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                sections_.push_back(Section{std::string(TrimProfileBlanks(line.substr(1, close - 1))), {}});
                current = &sections_.back();
                continue;
            }
            // A bracket without its closing mate is an ordinary key line.
        }
        if (current == nullptr) {
            sections_.push_back(Section{});
            current = &sections_.back();
        }
        Key key;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            key.name = std::string(line);
        } else {
            key.name = std::string(TrimProfileBlanks(line.substr(0, eq)));
            key.value = std::string(TrimProfileBlanks(line.substr(eq + 1)));
        }
        current->keys.push_back(std::move(key));
    }
}

const IniDocument::Section* IniDocument::FindSection(std::string_view name) const
{
    name = TrimProfileBlanks(name);
    for (const Section& s : sections_)
        if (SameProfileName(s.name, name)) return &s;
    return nullptr;
}

IniDocument::Section* IniDocument::FindSection(std::string_view name)
{
    return const_cast<Section*>(static_cast<const IniDocument*>(this)->FindSection(name));
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key,
                                             std::size_t bufferChars) const
{
    const Section* s = FindSection(section);
    if (s == nullptr || bufferChars == 0) return std::nullopt;
    key = TrimProfileBlanks(key);
    for (const Key& k : s->keys) {
        if (!SameProfileName(k.name, key)) continue;
        if (!k.value) return std::nullopt;
        std::string_view value = *k.value;
        char quote = 0;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            quote = value.front();
            value.remove_prefix(1);
        }
        std::string out(value.substr(0, bufferChars - 1));
        // The closing quote goes only when it made it into the buffer.
        if (quote != 0 && bufferChars >= value.size() && !out.empty()) out.pop_back();
        return out;
    }
    return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value)
{
    section = TrimProfileBlanks(section);
    key = TrimProfileBlanks(key);
    Section* s = FindSection(section);
    if (s == nullptr) {
        sections_.push_back(Section{std::string(section), {}});
        s = &sections_.back();
    }
    for (Key& k : s->keys) {
        if (SameProfileName(k.name, key)) {
            k.value = std::string(value);
            return;
        }
    }
    s->keys.push_back(Key{std::string(key), std::string(value)});
}

std::string IniDocument::Text() const
{
    std::string out;
    bool first = true;
    for (const Section& s : sections_) {
        if (!first) out += "\r\n";
        first = false;
        // Keys before the first section header live in a nameless section
        // that has no header line of its own.
        if (!(s.name.empty() && &s == &sections_.front())) out += "[" + s.name + "]\r\n";
        for (const Key& k : s.keys) {
            out += k.name;
            if (k.value) out += "=" + *k.value;
            out += "\r\n";
        }
    }
    return out;
}

} // namespace common
