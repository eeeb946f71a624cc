// The portable reader against the platform's profile functions: one corpus,
// the same answers. Where they differ the platform is right.
#include "common/PortableProfile.h"
#include "common/Win32Profile.h"
#include "ProfileCorpus.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

namespace {

std::string TempFolder()
{
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    std::string folder = std::string(path) + "brelvin_profile\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string WriteCaseFile(const std::string& name, const std::string& text)
{
    static int counter = 0;
    std::string path = TempFolder() + "case" + std::to_string(++counter) + "_" +
                       std::to_string(GetCurrentProcessId()) + ".ini";
    std::ofstream(path, std::ios::binary) << text;
    (void)name;
    return path;
}

std::wstring Widen(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

TEST(ProfileAgreement, TextsMatchThePlatform)
{
    int compared = 0;
    for (const auto& c : corpus::Cases()) {
        const std::string path = WriteCaseFile(c.name, c.text);
        common::Win32Profile platform(path);
        common::PortableProfile portable(path);
        for (const auto& r : c.requests) {
            EXPECT_EQ(portable.ReadString(r.section, r.key, "GetError"),
                      platform.ReadString(r.section, r.key, "GetError"))
                << "case '" << c.name << "', [" << r.section << "] '" << r.key << "'";
            // The tools read the same file through the wide function.
            const std::wstring wide = common::ReadLanguageTextW(Widen(path), Widen(r.section).c_str(),
                                                                Widen(r.key).c_str());
            EXPECT_EQ(Widen(platform.ReadString(r.section, r.key, "GetError")), wide)
                << "case '" << c.name << "', [" << r.section << "] '" << r.key << "'";
            ++compared;
        }
        DeleteFileA(path.c_str());
    }
    EXPECT_GT(compared, 400);
}

TEST(ProfileAgreement, MissingFileGivesTheDefault)
{
    const std::string path = TempFolder() + "does_not_exist.ini";
    common::Win32Profile platform(path);
    common::PortableProfile portable(path);
    EXPECT_EQ(platform.ReadString("String", "IDS_SERRUNNING", "GetError"), "GetError");
    EXPECT_EQ(portable.ReadString("String", "IDS_SERRUNNING", "GetError"), "GetError");
    EXPECT_EQ(platform.ReadInt("coordinate", "wdot", 3), 3);
    EXPECT_EQ(portable.ReadInt("coordinate", "wdot", 3), 3);
}

TEST(ProfileAgreement, IntegersMatchThePlatform)
{
    for (const auto& c : corpus::IntCases()) {
        const std::string text = c.value == "<missing>" ? "[S]\nother=1\n" : "[S]\nk=" + c.value + "\n";
        const std::string path = WriteCaseFile("int", text);
        common::Win32Profile platform(path);
        common::PortableProfile portable(path);
        EXPECT_EQ(portable.ReadInt("S", "k", c.fallback), platform.ReadInt("S", "k", c.fallback))
            << "value '" << c.value << "'";
        DeleteFileA(path.c_str());
    }
}

TEST(ProfileAgreement, WritesOfEitherAreReadByTheOther)
{
    const std::string path = WriteCaseFile("write", "[coordinate]\nwdot=3\n[BoardArea]\nptArea.left=1\n");
    common::Win32Profile platform(path);
    common::PortableProfile portable(path);

    platform.WriteString("BoardArea", "ptArea.left", "31");
    platform.WriteString("PENVARO", "BOX1LASTCHOOSE", "2");
    EXPECT_EQ(portable.ReadInt("BoardArea", "ptArea.left", 0), 31);
    EXPECT_EQ(portable.ReadInt("PENVARO", "BOX1LASTCHOOSE", 5), 2);

    portable.WriteString("coordinate", "orient", "1");
    portable.WriteString("boardarea", "ptArea.right", "289");
    EXPECT_EQ(platform.ReadString("coordinate", "orient", ""), "1");
    EXPECT_EQ(platform.ReadInt("BoardArea", "ptArea.right", 0), 289);
    EXPECT_EQ(platform.ReadInt("coordinate", "wdot", 0), 3);
    DeleteFileA(path.c_str());
}

} // namespace
