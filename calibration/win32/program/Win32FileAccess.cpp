#include "Win32FileAccess.h"

#include "common/TextEncoding.h"
#include "common/UniqueHandle.h"

#include <windows.h>

namespace kalmeno {
namespace {

// The driver, the pen-button tool and the camera service read the file at
// any moment, and an editor may hold it open: none of them is locked out.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The file is a few kilobytes; anything this large is not a settings file.
constexpr LONGLONG kMaxSettingsBytes = 16 * 1024 * 1024;

} // namespace

bool Win32FileAccess::ReadWhole(const std::string& path, std::string& content)
{
    const common::UniqueHandle file(CreateFileW(common::Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxSettingsBytes) return false;
    std::string read(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < read.size()) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), &read[done], static_cast<DWORD>(read.size() - done), &got, nullptr)) return false;
        if (got == 0) break; // the file shrank meanwhile: what is there is the file
        done += got;
    }
    read.resize(done);
    content = std::move(read);
    return true;
}

bool Win32FileAccess::WriteFlushed(const std::string& path, std::string_view content)
{
    const common::UniqueHandle file(
        CreateFileW(common::Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD wrote = 0;
        if (!WriteFile(file.Get(), content.data() + done, static_cast<DWORD>(content.size() - done), &wrote, nullptr) ||
            wrote == 0)
            return false;
        done += wrote;
    }
    return FlushFileBuffers(file.Get()) != FALSE;
}

bool Win32FileAccess::MoveOver(const std::string& from, const std::string& to)
{
    return MoveFileExW(common::Wide(from).c_str(), common::Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           FALSE;
}

bool Win32FileAccess::Remove(const std::string& path)
{
    return DeleteFileW(common::Wide(path).c_str()) != FALSE;
}

} // namespace kalmeno
