#include "sim/ScratchFolder.h"

#include "common/UniqueHandle.h"
#include "common/Win32System.h"
#include "sim/LineLog.h"

#include <windows.h>

#include <atomic>

namespace sim {
namespace {

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    const common::UniqueFind search(FindFirstFileA((folder + "*").c_str(), &entry));
    if (search) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search.Get(), &entry));
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

ScratchFolder::ScratchFolder(const std::string& parent, const std::string& label, FolderLifetime lifetime)
    : lifetime_(lifetime)
{
    CreateDirectoryA(parent.c_str(), nullptr);
    if (lifetime == FolderLifetime::Kept) {
        path_ = parent + label + "\\";
        RemoveTree(path_);
        ok_ = CreateDirectoryA(path_.c_str(), nullptr) != 0;
        return;
    }
    // Tests on different Wine desktops share the build folder, and their
    // wineservers hand out the same process ids: a folder that is there may
    // be another test's, so the name is taken only by creating it.
    static std::atomic<int> counter{0};
    const std::string stem = parent + label + "-" + std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 1000 && !ok_; ++attempt) {
        path_ = stem + std::to_string(++counter) + "\\";
        ok_ = CreateDirectoryA(path_.c_str(), nullptr) != 0;
        if (!ok_ && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

ScratchFolder::~ScratchFolder()
{
    if (ok_ && lifetime_ == FolderLifetime::Temporary) RemoveTree(path_);
}

bool ScratchFolder::CopyIn(const std::string& source, const std::string& name) const
{
    return CopyFileA(source.c_str(), File(name).c_str(), FALSE) != 0;
}

bool ScratchFolder::Write(const std::string& name, const std::string& text) const
{
    return WriteWholeFile(File(name), text);
}

std::string ScratchFolder::Read(const std::string& name) const
{
    return ReadWholeFile(File(name));
}

bool ScratchFolder::Holds(const std::string& name) const
{
    return GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string OwnFolder()
{
    return common::ProgramFolderA();
}

std::string TempFolder()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH + 1, path);
    return std::string(path, length <= MAX_PATH ? length : 0);
}

std::string BuiltPath(const std::string& buildPath)
{
    std::string path = buildPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    if (!path.empty() && path[0] == '\\') path = "Z:" + path;
    return path;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".\\") : path.substr(0, cut + 1);
}

} // namespace sim
