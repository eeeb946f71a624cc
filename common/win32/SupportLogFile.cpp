#include "common/SupportLogFile.h"

#include "common/LocalTimeText.h"
#include "common/NamedMutexTurn.h"
#include "common/Win32System.h"

#include <windows.h>
#include <imagehlp.h>
#include <shlobj.h>


namespace common {
namespace {

constexpr const char* kLogFolder = "\\CvSoftware\\Drivers\\";
constexpr const char* kLogName = "Brelvin.log";
// Held by whichever of the user's programs appends to the log or moves it
// aside: they take turns, because not every system appends atomically for
// several writers (Wine does not: two programs appending at once can
// overwrite each other's line), and a full log must be moved aside by one
// program only.
constexpr const char* kLogLockName = "Local\\CvSoftwareSupportLog";
// An append or a move takes a moment; a program that holds the log longer
// than this is not waited for.
constexpr DWORD kLogLockWaitMs = 1000;

bool Full(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    return data.nFileSizeHigh != 0 || data.nFileSizeLow >= SupportLogFile::kMaxBytes;
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

// Called in the log's turn, so the size is current: of several programs
// that found the file full, the first moves it aside whole (a rename within
// the folder) and the others find the fresh one and leave it. No full log is
// ever replaced by a fresh one.
void SupportLogFile::MakeRoom()
{
    if (Full(path_)) MoveFileExA(path_.c_str(), OldPath(path_).c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool SupportLogFile::Append(const std::vector<std::string>& lines)
{
    if (path_.empty() || lines.empty()) return false;
    const std::size_t slash = path_.find_last_of('\\');
    if (slash != std::string::npos) MakeSureDirectoryPathExists(path_.substr(0, slash + 1).c_str());

    std::string text;
    const std::string stamp = LocalTimeTextWithMilliseconds() + " ";
    for (const std::string& line : lines) text += stamp + program_ + ": " + line + "\r\n";

    const NamedMutexTurn turn(kLogLockName, kLogLockWaitMs);
    // A program that kept the log for a whole second is not waited for:
    // the lines still go, and the log is moved aside at a later turn.
    if (turn.Held()) MakeRoom();
    return AppendToFile(path_, text);
}

} // namespace common
