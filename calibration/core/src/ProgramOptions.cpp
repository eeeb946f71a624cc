#include "calibration/ProgramOptions.h"

#include <cctype>
#include <cstdlib>

namespace calibration {
namespace {

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "CxR" with both within the file's range.
bool ParseGrid(const std::string& text, GridSize& grid)
{
    const std::size_t x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 == text.size()) return false;
    char* end = nullptr;
    const long columns = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + x) return false;
    const long rows = std::strtol(text.c_str() + x + 1, &end, 10);
    if (*end != '\0') return false;
    const GridSize parsed{static_cast<int>(columns), static_cast<int>(rows)};
    if (!IsValidGrid(parsed)) return false;
    grid = parsed;
    return true;
}

} // namespace

ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments)
{
    ProgramOptions options;
    for (const std::string& argument : arguments) {
        const std::string word = Lower(argument);
        const bool isSwitch = word.size() > 1 && (word[0] == '/' || word[0] == '-');
        const std::string name = isSwitch ? word.substr(1) : std::string();
        if (name == "check") {
            options.checkOnly = true;
        } else if (name == "keys" || name == "keys:1") {
            options.teachKeys = true;
            options.keyCopy = 0;
        } else if (name == "keys:2") {
            options.teachKeys = true;
            options.keyCopy = 1;
        } else if (name == "auto") {
            options.automatic = true;
        } else if (name == "touch") {
            options.touchOnly = true;
        } else if (name.rfind("grid:", 0) == 0 && ParseGrid(name.substr(5), options.grid)) {
            // taken
        } else {
            options.unknown.push_back(argument);
        }
    }
    return options;
}

std::vector<std::string> SplitArguments(const std::string& arguments)
{
    std::vector<std::string> split;
    std::string current;
    bool quoted = false, any = false;
    for (const char c : arguments) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) split.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) split.push_back(current);
    return split;
}

} // namespace calibration
