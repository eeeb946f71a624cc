#pragma once
// Where WBInit.ini lives for the current user. Administrators use the copy
// in the program folder; everybody else a per-user copy under the roaming
// application-data folder, made once from the program folder's file and
// never refreshed afterwards. The driver and the pen-button tool use this one
// rule so that both edit the same file.
#include <string>

namespace common {

inline constexpr const char* kSettingsFileName = "WBInit.ini";
inline constexpr const char* kPerUserFolder = "\\CvSoftware\\Drivers\\";

// The file-system operations the rule needs, so that it can be tested
// without a Windows file system. Paths use backslashes.
template <typename Char>
class BasicSettingsFileSystem {
public:
    using String = std::basic_string<Char>;
    virtual ~BasicSettingsFileSystem() = default;
    virtual bool Exists(const String& path) = 0;
    // Creates every missing folder of a path that ends with a backslash.
    virtual bool MakeFolders(const String& folderPath) = 0;
    // Makes `to` a whole copy of `from`, or makes nothing; a file that
    // appears at `to` meanwhile (another program of the suite starting at
    // the same moment) is kept and wins. True when this copy took the name.
    virtual bool CopyAsNew(const String& from, const String& to) = 0;
    virtual void SleepMs(unsigned ms) = 0;
};

using SettingsFileSystem = BasicSettingsFileSystem<char>;

// `programFolder` and the result of the rule: `programFolder` ends with a
// backslash; `appDataFolder` has none at its end.
template <typename Char>
std::basic_string<Char> LocateSettingsFile(const std::basic_string<Char>& programFolder, bool isAdmin,
                                           const std::basic_string<Char>& appDataFolder,
                                           BasicSettingsFileSystem<Char>& fs)
{
    using String = std::basic_string<Char>;
    auto widen = [](const char* text) {
        String out;
        for (const char* p = text; *p; ++p) out += static_cast<Char>(*p);
        return out;
    };
    const String programCopy = programFolder + widen(kSettingsFileName);
    if (isAdmin) return programCopy;

    const String folder = appDataFolder + widen(kPerUserFolder);
    const String perUser = folder + widen(kSettingsFileName);
    if (!fs.Exists(perUser)) {
        fs.MakeFolders(folder);
        fs.CopyAsNew(programCopy, perUser);
        // Give the copy a moment to land before the first profile read.
        fs.SleepMs(20);
    }
    return perUser;
}

} // namespace common
