// The portable reader against the platform's profile functions: one corpus,
// the same answers. Where they differ the platform is right.
#include "common/PortableProfile.h"
#include "common/Win32Profile.h"
#include "ProfileCorpus.h"
#include "sim/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// Removed when the test program ends.
const sim::ScratchFolder& CaseFolder()
{
    static const sim::ScratchFolder folder(sim::TempFolder(), "profile");
    return folder;
}

std::string WriteCaseFile(const std::string& text)
{
    static int counter = 0;
    const std::string name = "case" + std::to_string(++counter) + ".ini";
    CaseFolder().Write(name, text);
    return CaseFolder().File(name);
}

std::wstring Widen(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

TEST(ProfileAgreement, TextsMatchThePlatform)
{
    int compared = 0;
    for (const auto& c : corpus::Cases()) {
        const std::string path = WriteCaseFile(c.text);
        common::Win32Profile platform(path);
        common::PortableProfile portable(path);
        for (const auto& r : c.requests) {
            EXPECT_EQ(portable.ReadString(r.section, r.key, "GetError"),
                      platform.ReadString(r.section, r.key, "GetError"))
                << "case '" << c.name << "', [" << r.section << "] '" << r.key << "'";
            // The tools read the same file through the wide function.
            const std::wstring wide =
                common::ReadLanguageTextW(Widen(path), Widen(r.section).c_str(), Widen(r.key).c_str());
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
    const std::string path = CaseFolder().File("does_not_exist.ini");
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
        const std::string path = WriteCaseFile(text);
        common::Win32Profile platform(path);
        common::PortableProfile portable(path);
        EXPECT_EQ(portable.ReadInt("S", "k", c.fallback), platform.ReadInt("S", "k", c.fallback))
            << "value '" << c.value << "'";
        DeleteFileA(path.c_str());
    }
}

TEST(ProfileAgreement, WritesOfEitherAreReadByTheOther)
{
    const std::string path = WriteCaseFile("[coordinate]\nwdot=3\n[BoardArea]\nptArea.left=1\n");
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
