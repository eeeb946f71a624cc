#include "ProgramStarter.h"

#include "common/Win32System.h"

#include <windows.h>
#include <shellapi.h>

namespace launcher {

bool IsBesideLauncher(const std::wstring& fileName)
{
    const DWORD attributes = GetFileAttributesW((common::ProgramFolderW() + fileName).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void StartBesideLauncher(const std::wstring& fileName)
{
    const std::wstring folder = common::ProgramFolderW();
    // The full path keeps the shell from picking a same-named program from
    // the search path when the launcher's folder lacks it.
    const std::wstring path = folder + fileName;
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, folder.c_str(), SW_SHOW);
}

} // namespace launcher
