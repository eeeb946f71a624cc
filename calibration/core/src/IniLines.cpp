#include "calibration/IniLines.h"

#include "common/IniDocument.h"

namespace calibration {
namespace {

// The section a header line opens: what stands between '[' and the last
// ']'; false for any other line.
bool HeaderName(std::string_view line, std::string_view& name)
{
    line = common::TrimProfileBlanks(common::WithoutByteOrderMark(line));
    if (line.empty() || line.front() != '[') return false;
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos || close == 0) return false;
    name = common::TrimProfileBlanks(line.substr(1, close - 1));
    return true;
}

bool IsHeader(std::string_view line)
{
    std::string_view name;
    return HeaderName(line, name);
}

bool IsBlank(std::string_view line)
{
    return common::TrimProfileBlanks(line).empty();
}

} // namespace

std::string_view KeyNameOf(std::string_view line)
{
    line = common::WithoutByteOrderMark(line);
    if (IsHeader(line) || IsBlank(line)) return {};
    return common::TrimProfileBlanks(line.substr(0, line.find('=')));
}

IniLines::IniLines(std::string_view text)
{
    bool endingSeen = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        Line line;
        if (end == std::string_view::npos) {
            line.text = std::string(text.substr(pos));
            pos = text.size();
        } else {
            line.text = std::string(text.substr(pos, end - pos));
            const std::size_t endingSize =
                (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
            line.ending = std::string(text.substr(end, endingSize));
            pos = end + endingSize;
            if (!endingSeen) newline_ = line.ending;
            endingSeen = true;
        }
        lines_.push_back(std::move(line));
    }
}

int IniLines::FindSection(std::string_view section) const
{
    section = common::TrimProfileBlanks(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (HeaderName(lines_[i].text, name) && common::SameProfileName(name, section)) return static_cast<int>(i);
    }
    return -1;
}

int IniLines::SectionEnd(int header) const
{
    int i = header + 1;
    while (i < static_cast<int>(lines_.size()) && !IsHeader(lines_[static_cast<std::size_t>(i)].text)) ++i;
    return i;
}

int IniLines::FindKey(int header, std::string_view key) const
{
    key = common::TrimProfileBlanks(key);
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const std::string_view name = KeyNameOf(lines_[static_cast<std::size_t>(i)].text);
        if (!name.empty() && common::SameProfileName(name, key)) return i;
    }
    return -1;
}

void IniLines::AppendLine(int at, std::string text)
{
    // The line before gets an ending if the text ended without one.
    if (at > 0 && lines_[static_cast<std::size_t>(at - 1)].ending.empty())
        lines_[static_cast<std::size_t>(at - 1)].ending = newline_;
    lines_.insert(lines_.begin() + at, Line{std::move(text), newline_});
}

void IniLines::Set(std::string_view section, std::string_view key, std::string_view value)
{
    int header = FindSection(section);
    if (header < 0) {
        header = static_cast<int>(lines_.size());
        AppendLine(header, "[" + std::string(common::TrimProfileBlanks(section)) + "]");
    }
    const int found = FindKey(header, key);
    if (found >= 0) {
        std::string& text = lines_[static_cast<std::size_t>(found)].text;
        std::size_t valueAt = text.find('=');
        if (valueAt == std::string::npos) {
            // A key line without '=' reads as missing; it gets one.
            text = std::string(common::TrimProfileBlanks(text)) + "=" + std::string(value);
            return;
        }
        // The name, the '=' and the blanks after it stay as written.
        ++valueAt;
        while (valueAt < text.size() && (text[valueAt] == ' ' || text[valueAt] == '\t')) ++valueAt;
        text = text.substr(0, valueAt) + std::string(value);
        return;
    }
    // After the section's last key: a comment or blank lines that end the
    // section most likely introduce the next one.
    int at = header + 1;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (lines_[static_cast<std::size_t>(i)].text.find('=') != std::string::npos) at = i + 1;
    AppendLine(at, std::string(common::TrimProfileBlanks(key)) + "=" + std::string(value));
}

void IniLines::RemoveKeys(std::string_view section, const std::function<bool(std::string_view name)>& doomed)
{
    const int header = FindSection(section);
    if (header < 0) return;
    int end = SectionEnd(header);
    for (int i = header + 1; i < end;) {
        const std::string_view name = KeyNameOf(lines_[static_cast<std::size_t>(i)].text);
        if (!name.empty() && doomed(name)) {
            lines_.erase(lines_.begin() + i);
            --end;
        } else {
            ++i;
        }
    }
}

std::string IniLines::Text() const
{
    std::string out;
    for (const Line& line : lines_) out += line.text + line.ending;
    return out;
}

} // namespace calibration
