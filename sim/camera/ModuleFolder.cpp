#include "ModuleFolder.h"

#include <windows.h>

namespace fakecamera {

extern HMODULE g_module;

std::wstring FileBesideModule(const std::wstring& name)
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
    std::wstring folder(path, length < MAX_PATH ? length : 0);
    folder.erase(folder.find_last_of(L'\\') + 1);
    return folder + name;
}

} // namespace fakecamera
