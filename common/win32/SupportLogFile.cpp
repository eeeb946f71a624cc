#include "common/SupportLogFile.h"

#include "common/UniqueHandle.h"
#include "common/Win32System.h"

#include <windows.h>
#include <imagehlp.h>
#include <shlobj.h>

#include <cstdio>

namespace common {
namespace {

constexpr const char* kLogFolder = "\\CvSoftware\\Drivers\\";
constexpr const char* kLogName = "Brelvin.log";

std::string Stamp()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

} // namespace

SupportLogFile::SupportLogFile(std::string path, std::string program)
    : path_(std::move(path)),
      program_(std::move(program))
{}

std::string SupportLogFile::DefaultPath()
{
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) || !folder[0])
        return std::string();
    return std::string(folder) + kLogFolder + kLogName;
}

std::string SupportLogFile::OldPath(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('\\');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".old";
    return path.substr(0, dot) + ".old" + path.substr(dot);
}

// Another program may move the file first or hold it open: whichever move
// wins, the log goes on in a fresh file.
void SupportLogFile::MakeRoom()
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &data)) return;
    if (data.nFileSizeHigh == 0 && data.nFileSizeLow < kMaxBytes) return;
    MoveFileExA(path_.c_str(), OldPath(path_).c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool SupportLogFile::Append(const std::vector<std::string>& lines)
{
    if (path_.empty() || lines.empty()) return false;
    const std::size_t slash = path_.find_last_of('\\');
    if (slash != std::string::npos) MakeSureDirectoryPathExists(path_.substr(0, slash + 1).c_str());
    MakeRoom();

    std::string text;
    const std::string stamp = Stamp();
    for (const std::string& line : lines) text += stamp + program_ + ": " + line + "\r\n";

    // Appending keeps several programs' lines whole.
    return AppendToFile(path_, text);
}

} // namespace common
