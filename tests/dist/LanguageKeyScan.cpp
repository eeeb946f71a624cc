#include "LanguageKeyScan.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace dist {
namespace fs = std::filesystem;

const std::vector<std::string>& LanguageSections()
{
    static const std::vector<std::string> sections = {"String", "Camvito", "CamvitoOrient", "SetPzPan", "Sondaro",
                                                         "Kalmeno"};
    return sections;
}

namespace {

bool IsSection(const std::string& literal)
{
    const auto& sections = LanguageSections();
    return std::find(sections.begin(), sections.end(), literal) != sections.end();
}

bool IsKey(const std::string& literal)
{
    static const std::regex key(R"(\s*(IDS_\w+|IDC_\w+|IDOK|IDCANCEL)\s*)");
    return std::regex_match(literal, key);
}

std::vector<std::string> ReadLines(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Section literals of a file, wherever they stand.
std::set<std::string> SectionsIn(const std::vector<std::string>& lines)
{
    static const std::regex literal(R"re(L?"([^"\\]*)")re");
    std::set<std::string> found;
    for (const auto& line : lines)
        for (std::sregex_iterator it(line.begin(), line.end(), literal), end; it != end; ++it)
            if (IsSection((*it)[1])) found.insert((*it)[1]);
    return found;
}

bool IsTestFolder(const fs::path& path)
{
    for (const auto& part : path)
        if (part == "tests" || part == "wintests") return true;
    return false;
}

void ScanFile(const fs::path& file, KeyScan& scan)
{
    static const std::regex literal(R"re(L?"([^"\\]*)")re");
    const auto lines = ReadLines(file);
    std::set<std::string> fileSections = SectionsIn(lines);
    for (const char* sibling : {".h", ".cpp"}) {
        fs::path other = file;
        other.replace_extension(sibling);
        if (other != file && fs::exists(other)) {
            const auto more = SectionsIn(ReadLines(other));
            fileSections.insert(more.begin(), more.end());
        }
    }

    for (const auto& line : lines) {
        std::string lineSection;
        for (std::sregex_iterator it(line.begin(), line.end(), literal), end; it != end; ++it) {
            const std::string text = (*it)[1];
            if (IsSection(text)) {
                lineSection = text;
            } else if (IsKey(text)) {
                if (!lineSection.empty())
                    scan.keys.push_back({lineSection, text, file.string()});
                else if (fileSections.size() == 1)
                    scan.keys.push_back({*fileSections.begin(), text, file.string()});
                else
                    scan.problems.push_back(file.string() + ": cannot tell the section of \"" + text + "\"");
            }
        }
    }
}

} // namespace

KeyScan ScanLanguageKeys(const std::vector<fs::path>& folders)
{
    KeyScan scan;
    for (const auto& folder : folders) {
        if (!fs::is_directory(folder)) {
            scan.problems.push_back(folder.string() + ": no such folder");
            continue;
        }
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            const auto ext = entry.path().extension();
            if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h") &&
                !IsTestFolder(fs::relative(entry.path(), folder)))
                files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) ScanFile(file, scan);
    }
    return scan;
}

} // namespace dist
