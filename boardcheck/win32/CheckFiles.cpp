#include "CheckFiles.h"

#include "common/LocalTimeText.h"
#include "common/UniqueHandle.h"

#include <windows.h>
#include <shlobj.h>


namespace boardcheck {

std::wstring SupportFolder()
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) || !folder[0])
        return std::wstring();
    return std::wstring(folder) + L"\\CvSoftware\\Drivers\\";
}

std::wstring SupportLogPath()
{
    const std::wstring folder = SupportFolder();
    return folder.empty() ? folder : folder + L"Brelvin.log";
}

std::string ReadFileEnd(const std::wstring& path, unsigned long maxBytes)
{
    // The driver appends while we read: every sharing mode is granted.
    common::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::string();
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size)) return std::string();
    const LONGLONG start = size.QuadPart > static_cast<LONGLONG>(maxBytes) ? size.QuadPart - maxBytes : 0;
    LARGE_INTEGER at = {};
    at.QuadPart = start;
    if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) return std::string();
    std::string text(static_cast<std::size_t>(size.QuadPart - start), '\0');
    DWORD read = 0;
    if (!text.empty() && !ReadFile(file.Get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr))
        return std::string();
    text.resize(read);
    // A cut line at the start is no line.
    if (start > 0) {
        const std::size_t end = text.find('\n');
        text.erase(0, end == std::string::npos ? text.size() : end + 1);
    }
    return text;
}

std::wstring NewReportStem()
{
    const std::string stamp = common::LocalTimeFileStamp();
    return SupportFolder() + L"Board-check-" + std::wstring(stamp.begin(), stamp.end());
}

bool WriteUtf8File(const std::wstring& path, const std::string& utf8)
{
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos) SHCreateDirectoryExW(nullptr, path.substr(0, slash).c_str(), nullptr);
    common::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const std::string text = "\xEF\xBB\xBF" + utf8;
    DWORD written = 0;
    return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

} // namespace boardcheck
