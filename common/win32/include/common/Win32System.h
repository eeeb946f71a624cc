#pragma once
// The few system facts every program of the suite asks for.
#include "common/SettingsLocator.h"

#include <string>

namespace common {

// The running program's folder: its module path cut after the last backslash.
std::string ProgramFolderA();
std::wstring ProgramFolderW();

// 1 when the process token lists the built-in Administrators group
// (S-1-5-32-544), whatever the group's attributes; 0 otherwise or on any
// failure, including a group list larger than 1024 bytes.
int IsUserAdmin();

// The user's roaming application-data folder, without a trailing backslash;
// empty when the system does not tell.
std::string AppDataFolderA();
std::wstring AppDataFolderW();

// Appends `text` to the file at `path` (made when missing) in one write, so
// that the lines of several programs appending at once stay whole. Every
// sharing mode is granted: others may read, append or move the file on.
bool AppendToFile(const std::string& path, const std::string& text);

// The locator's file operations on the real file system. A copy is written
// to a temporary file beside its target, flushed, and then given the target's
// name by a move that replaces nothing: a crash or a full disk leaves no half
// file behind, and of two programs copying at once the first one wins.
class Win32SettingsFileSystemA final : public SettingsFileSystem {
public:
    bool Exists(const std::string& path) override;
    bool MakeFolders(const std::string& folderPath) override;
    bool CopyAsNew(const std::string& from, const std::string& to) override;
    void SleepMs(unsigned ms) override;
};

class Win32SettingsFileSystemW final : public BasicSettingsFileSystem<wchar_t> {
public:
    bool Exists(const std::wstring& path) override;
    bool MakeFolders(const std::wstring& folderPath) override;
    bool CopyAsNew(const std::wstring& from, const std::wstring& to) override;
    void SleepMs(unsigned ms) override;
};

// The settings file of the current user by the suite's one rule.
std::string LocateSettingsFileA();
std::wstring LocateSettingsFileW();

} // namespace common
