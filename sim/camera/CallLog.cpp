#include "CallLog.h"

#include "common/UniqueHandle.h"

#include <windows.h>

namespace fakecamera {

extern HMODULE g_module;

void CallLog::Line(const std::string& text)
{
    std::lock_guard<std::mutex> hold(lock_);
    const common::UniqueHandle file(CreateFileW(path_.c_str(), FILE_APPEND_DATA,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const std::string line = text + "\r\n";
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

CallLog& ModuleLog()
{
    static CallLog log([] {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
        std::wstring folder(path, length < MAX_PATH ? length : 0);
        folder.erase(folder.find_last_of(L'\\') + 1);
        return folder + L"FakeCamera.log";
    }());
    return log;
}

} // namespace fakecamera
