#include "RecordingFolder.h"

#include "common/LocalTimeText.h"
#include "common/UniqueHandle.h"

#include <windows.h>
#include <imagehlp.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

namespace brelvin {
namespace {

constexpr const char* kRecordingPattern = "Recording-*.script";

} // namespace

RecordingFolder::RecordingFolder(std::string folder, std::string settingsPath, common::SettingsSources options)
    : folder_(std::move(folder)),
      settingsPath_(std::move(settingsPath)),
      options_(options)
{}

std::vector<driver::OptionInForce> RecordingFolder::OptionsInForce()
{
    return driver::ReadOptionsInForce(options_);
}

std::string RecordingFolder::SettingsText()
{
    std::ifstream file(settingsPath_, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string RecordingFolder::LocalTime()
{
    return common::LocalTimeText();
}

std::string RecordingFolder::Save(const std::string& text)
{
    if (folder_.empty() || !MakeSureDirectoryPathExists(folder_.c_str())) return std::string();
    const std::string stamp = common::LocalTimeFileStamp();
    std::string path = folder_ + "Recording-" + stamp + ".script";
    // Two recordings within one second keep apart.
    for (int n = 2; GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES && n < 100; ++n) {
        path = folder_ + "Recording-" + stamp + "-" + std::to_string(n) + ".script";
    }
    common::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::string();
    DWORD written = 0;
    const bool whole = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size();
    file.Reset();
    if (!whole) {
        DeleteFileA(path.c_str());
        return std::string();
    }
    KeepNewest();
    return path;
}

void RecordingFolder::KeepNewest()
{
    struct Recording {
        ULONGLONG written;
        std::string name;
    };
    std::vector<Recording> recordings;
    WIN32_FIND_DATAA found = {};
    const HANDLE search = FindFirstFileA((folder_ + kRecordingPattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const ULONGLONG written =
            static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32 | found.ftLastWriteTime.dwLowDateTime;
        recordings.push_back({written, found.cFileName});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    if (recordings.size() <= static_cast<std::size_t>(kKept)) return;
    std::sort(recordings.begin(), recordings.end(), [](const Recording& a, const Recording& b) {
        return a.written != b.written ? a.written < b.written : a.name < b.name;
    });
    for (std::size_t i = 0; i + kKept < recordings.size(); ++i) DeleteFileA((folder_ + recordings[i].name).c_str());
}

} // namespace brelvin
