// The shipped Language.ini files answer every key the programs request.
#include "DistFiles.h"
#include "LanguageKeyScan.h"

#include "calibration/KalmenoTexts.h"
#include "common/PortableProfile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace dist {
namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

bool Holds(const KeyScan& scan, const std::string& section, const std::string& key)
{
    for (const auto& k : scan.keys)
        if (k.section == section && k.key == key) return true;
    return false;
}

// --- the scanner, on made-up sources ----------------------------------------

TEST(LanguageKeyScan, PairsKeysWithTheSectionOnTheirLineOrOfTheirFile)
{
    TempFolder root;
    WriteText(root.Path() / "tool/Strings.cpp", "a = Read(file, L\"Camvito\", L\"IDS_TOTEL\");\n"
                                                "b = Read(file, \"String\", \"IDS_CONNECTCAP   \");\n");
    WriteText(root.Path() / "pen/Dialog.cpp", "constexpr auto kSection = L\"SetPzPan\";\n"
                                              "{IDOK, L\"IDOK\"}, {IDCANCEL, L\"IDCANCEL\"},\n"
                                              "// comments name IDC_NOTAKEY without quotes\n");
    WriteText(root.Path() / "pen/Items.h", "// item names live in section \"SetPzPan\"\n");
    WriteText(root.Path() / "pen/Items.cpp", "{L\"IDC_BMP1\", 149, 150},\n");

    const KeyScan scan = ScanLanguageKeys({root.Path() / "tool", root.Path() / "pen"});

    EXPECT_TRUE(scan.problems.empty());
    EXPECT_TRUE(Holds(scan, "Camvito", "IDS_TOTEL"));
    EXPECT_TRUE(Holds(scan, "String", "IDS_CONNECTCAP   "));
    EXPECT_TRUE(Holds(scan, "SetPzPan", "IDOK"));
    EXPECT_TRUE(Holds(scan, "SetPzPan", "IDCANCEL"));
    EXPECT_TRUE(Holds(scan, "SetPzPan", "IDC_BMP1")) << "section from the header of the same name";
    EXPECT_EQ(scan.keys.size(), 5u);
}

TEST(LanguageKeyScan, ReportsKeysWhoseSectionIsAmbiguousAndSkipsTests)
{
    TempFolder root;
    WriteText(root.Path() / "app/Both.cpp", "auto s1 = L\"Camvito\"; auto s2 = L\"String\";\n"
                                            "auto t = Read(L\"IDS_LONELY\");\n");
    WriteText(root.Path() / "app/tests/FakeTest.cpp", "Read(L\"String\", L\"IDS_ONLY_IN_A_TEST\");\n");
    WriteText(root.Path() / "app/NoSection.cpp", "auto t = Read(L\"IDC_ORPHAN\");\n");

    const KeyScan scan = ScanLanguageKeys({root.Path() / "app", root.Path() / "missing"});

    EXPECT_TRUE(scan.keys.empty());
    ASSERT_EQ(scan.problems.size(), 3u);
    std::string all;
    for (const auto& p : scan.problems) all += p + "\n";
    EXPECT_NE(all.find("IDS_LONELY"), std::string::npos);
    EXPECT_NE(all.find("IDC_ORPHAN"), std::string::npos);
    EXPECT_NE(all.find("no such folder"), std::string::npos);
}

// --- the shipped files --------------------------------------------------------

KeyScan ScanThePrograms()
{
    const fs::path root = SourceRoot();
    return ScanLanguageKeys(
        {root / "driver", root / "pentool", root / "camview", root / "launcher", root / "boardcheck", root / "calibration",
         root / "common"});
}

class ShippedLanguageFile : public ::testing::TestWithParam<const char*> {
protected:
    // The file as the profile reader reads it: the Chinese file is UTF-16, so
    // it is handed over as UTF-8 (the portable reader reads bytes).
    fs::path ReadableCopy()
    {
        const fs::path shipped = DistFolder() / GetParam();
        const std::string bytes = ReadBytes(shipped);
        const bool wide = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF;
        if (!wide) return shipped;
        const fs::path copy = temp_.Path() / "Language.ini";
        std::ofstream(copy, std::ios::binary) << Utf16LeToUtf8(bytes);
        return copy;
    }

    TempFolder temp_;
};

TEST(RequestedLanguageKeys, AreFoundInEverySectionOfThePrograms)
{
    const KeyScan scan = ScanThePrograms();
    for (const auto& problem : scan.problems) ADD_FAILURE() << problem;
    // One known request per section shows that the scan still sees each program.
    EXPECT_TRUE(Holds(scan, "String", "IDS_CONNECTCAP   "));
    EXPECT_TRUE(Holds(scan, "Camvito", "IDS_CAMVITONOINIT"));
    EXPECT_TRUE(Holds(scan, "CamvitoOrient", "IDS_BTNORIENT   "));
    EXPECT_TRUE(Holds(scan, "SetPzPan", "IDC_BMP11"));
    EXPECT_TRUE(Holds(scan, "Sondaro", "IDS_OUTPUTLINE"));
    EXPECT_TRUE(Holds(scan, "Kalmeno", "IDS_KEY13"));
}

TEST_P(ShippedLanguageFile, AnswersEveryRequestedKeyWithinTheBuffer)
{
    const KeyScan scan = ScanThePrograms();
    ASSERT_FALSE(scan.keys.empty());
    const common::PortableProfile texts(ReadableCopy().string());
    for (const auto& requested : scan.keys) {
        const std::string value = texts.ReadString(requested.section, requested.key, "GetError");
        EXPECT_NE(value, "GetError") << "[" << requested.section << "] \"" << requested.key << "\" requested in "
                                     << requested.file;
        EXPECT_FALSE(value.empty()) << "[" << requested.section << "] " << requested.key;
        EXPECT_LE(Utf16Length(value), 259u) << "[" << requested.section << "] " << requested.key;
    }
}

TEST_P(ShippedLanguageFile, NamesTheElevenPenActionsDistinctly)
{
    const common::PortableProfile texts(ReadableCopy().string());
    std::set<std::string> names;
    for (int n = 1; n <= 11; ++n) names.insert(texts.ReadString("SetPzPan", "IDC_BMP" + std::to_string(n), ""));
    names.erase("");
    EXPECT_EQ(names.size(), 11u);
}

INSTANTIATE_TEST_SUITE_P(Dist, ShippedLanguageFile, ::testing::Values("Language.ini", "Language.zh-CN.ini"));

TEST(ChineseLanguageFile, IsUtf16WithMarkAndHoldsChineseTexts)
{
    const std::string bytes = ReadBytes(DistFolder() / "Language.zh-CN.ini");
    const std::string text = Utf16LeToUtf8(bytes);
    ASSERT_FALSE(text.empty()) << "not UTF-16LE with a byte-order mark";
    EXPECT_NE(text.find("IDC_BMP6=\xE7\xAC\x94"), std::string::npos) << "the pen is called \xE7\xAC\x94";
    EXPECT_NE(text.find("\r\n"), std::string::npos) << "lines end with CR LF";
}

// Where a school's file lacks a text, the calibration says what the
// shipped file would have said.
TEST(EnglishLanguageFile, HoldsTheCalibrationsBuiltInTexts)
{
    const common::PortableProfile texts((DistFolder() / "Language.ini").string());
    for (const std::string& key : calibration::KalmenoTextKeys())
        EXPECT_EQ(texts.ReadString(calibration::texts::kSection, key, "GetError"), calibration::EnglishText(key)) << key;
}

TEST(EnglishLanguageFile, IsPlainAscii)
{
    // The driver reads it with the narrow function in any code page.
    for (unsigned char c : ReadBytes(DistFolder() / "Language.ini")) ASSERT_LT(c, 0x80);
}

} // namespace
} // namespace dist
