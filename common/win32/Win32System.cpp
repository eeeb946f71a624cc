#include "common/Win32System.h"

#include "common/UniqueHandle.h"

#include <windows.h>
#include <imagehlp.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

namespace common {
namespace {

template <typename Char>
std::basic_string<Char> CutAfterLastBackslash(const std::basic_string<Char>& path)
{
    auto cut = path.find_last_of(static_cast<Char>('\\'));
    return cut == std::basic_string<Char>::npos ? std::basic_string<Char>() : path.substr(0, cut + 1);
}

// One copy for both character widths, over these overloads.
HANDLE OpenFile(const char* path, DWORD access, DWORD share, DWORD disposition)
{
    return CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}
HANDLE OpenFile(const wchar_t* path, DWORD access, DWORD share, DWORD disposition)
{
    return CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}
// Never MOVEFILE_REPLACE_EXISTING: a copy that is already there wins.
bool MoveToNewName(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH) != FALSE;
}
bool MoveToNewName(const wchar_t* from, const wchar_t* to)
{
    return MoveFileExW(from, to, MOVEFILE_WRITE_THROUGH) != FALSE;
}
void Delete(const char* path)
{
    DeleteFileA(path);
}
void Delete(const wchar_t* path)
{
    DeleteFileW(path);
}

bool CopyBytes(HANDLE source, HANDLE target)
{
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(source, buffer, sizeof buffer, &read, nullptr)) return false;
        if (read == 0) return true;
        DWORD written = 0;
        if (!WriteFile(target, buffer, read, &written, nullptr) || written != read) return false;
    }
}

template <typename Char>
bool CopyAsNewFile(const std::basic_string<Char>& from, const std::basic_string<Char>& to)
{
    const UniqueHandle source(OpenFile(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    if (!source) return false;
    // A name of this process's own in the target's folder, so the move
    // stays on one volume and two programs never share the temporary file.
    std::basic_string<Char> temporary = to;
    for (const char c : "." + std::to_string(GetCurrentProcessId()) + ".tmp") temporary += static_cast<Char>(c);
    bool whole = false;
    {
        const UniqueHandle target(OpenFile(temporary.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS));
        if (!target) return false;
        whole = CopyBytes(source.Get(), target.Get()) && FlushFileBuffers(target.Get());
    }
    if (whole && MoveToNewName(temporary.c_str(), to.c_str())) return true;
    Delete(temporary.c_str());
    return false;
}

struct SidFreer {
    void operator()(PSID sid) const { FreeSid(sid); }
};
using UniqueSid = std::unique_ptr<void, SidFreer>;

} // namespace

std::string ProgramFolderA()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return CutAfterLastBackslash(std::string(path));
}

std::wstring ProgramFolderW()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return CutAfterLastBackslash(std::wstring(path));
}

int IsUserAdmin()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return 0;
    UniqueHandle token(raw);

    // A group list that does not fit the buffer counts as not administrator.
    alignas(TOKEN_GROUPS) unsigned char buffer[1024];
    DWORD needed = 0;
    if (!GetTokenInformation(token.Get(), TokenGroups, buffer, sizeof buffer, &needed)) return 0;

    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID rawSid = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                  0, &rawSid))
        return 0;
    UniqueSid administrators(rawSid);

    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer);
    for (DWORD i = 0; i < groups->GroupCount; ++i)
        if (EqualSid(groups->Groups[i].Sid, administrators.get())) return 1;
    return 0;
}

std::string AppDataFolderA()
{
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE)) return {};
    return path;
}

std::wstring AppDataFolderW()
{
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, FALSE)) return {};
    return path;
}

bool Win32SettingsFileSystemA::Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32SettingsFileSystemA::MakeFolders(const std::string& folderPath)
{
    return MakeSureDirectoryPathExists(folderPath.c_str()) != FALSE;
}

bool Win32SettingsFileSystemA::CopyAsNew(const std::string& from, const std::string& to)
{
    return CopyAsNewFile(from, to);
}

void Win32SettingsFileSystemA::SleepMs(unsigned ms)
{
    Sleep(ms);
}

bool Win32SettingsFileSystemW::Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32SettingsFileSystemW::MakeFolders(const std::wstring& folderPath)
{
    // The folder-creation helper takes narrow paths only; create each level.
    for (std::size_t pos = folderPath.find(L'\\', 3); pos != std::wstring::npos; pos = folderPath.find(L'\\', pos + 1))
        CreateDirectoryW(folderPath.substr(0, pos).c_str(), nullptr);
    DWORD attributes = GetFileAttributesW(folderPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32SettingsFileSystemW::CopyAsNew(const std::wstring& from, const std::wstring& to)
{
    return CopyAsNewFile(from, to);
}

void Win32SettingsFileSystemW::SleepMs(unsigned ms)
{
    Sleep(ms);
}

std::string LocateSettingsFileA()
{
    Win32SettingsFileSystemA fs;
    return LocateSettingsFile(ProgramFolderA(), IsUserAdmin() != 0, AppDataFolderA(), fs);
}

std::wstring LocateSettingsFileW()
{
    Win32SettingsFileSystemW fs;
    return LocateSettingsFile(ProgramFolderW(), IsUserAdmin() != 0, AppDataFolderW(), fs);
}

bool AppendToFile(const std::string& path, const std::string& text)
{
    const UniqueHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

} // namespace common
