#include "CallLog.h"

#include "ModuleFolder.h"

#include "common/UniqueHandle.h"

#include <windows.h>

namespace fakecamera {

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
    static CallLog log(FileBesideModule(L"FakeCamera.log"));
    return log;
}

} // namespace fakecamera
