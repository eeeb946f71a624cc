#include "common/IniDocument.h"
#include "common/LanguageStrings.h"
#include "common/PortableProfile.h"
#include "common/TextProfile.h"
#include "ProfileCorpus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using common::IniDocument;

std::string Get(const IniDocument& doc, const std::string& section, const std::string& key)
{
    return doc.Find(section, key, common::kProfileBufferChars).value_or("<none>");
}

TEST(IniDocument, MatchesSectionsAndKeysWithoutCaseAndSurroundingBlanks)
{
    IniDocument doc("[STRING]\r\n  ids_ConnectCap   =   Board caption  \r\n");
    EXPECT_EQ(Get(doc, "String", "IDS_CONNECTCAP   "), "Board caption");
    EXPECT_EQ(Get(doc, "  string ", " ids_connectcap"), "Board caption");
    EXPECT_EQ(Get(doc, "String", "IDS_CONNECT"), "<none>");
    EXPECT_EQ(Get(doc, "Strings", "IDS_CONNECTCAP"), "<none>");
    EXPECT_EQ(Get(IniDocument("[ String ]\nk=inside\n"), "String", "k"), "inside");
}

TEST(IniDocument, KeepsEverythingAfterTheFirstEqualsSign)
{
    IniDocument doc("[S]\nk=a=b = c\n");
    EXPECT_EQ(Get(doc, "S", "k"), "a=b = c");
}

TEST(IniDocument, FirstSectionAndFirstKeyOfANameWin)
{
    IniDocument doc("[S]\nk=first\nk=second\n[T]\n[s]\nk=third\nlate=x\n");
    EXPECT_EQ(Get(doc, "S", "k"), "first");
    EXPECT_EQ(Get(doc, "S", "late"), "<none>");
}

TEST(IniDocument, KeyWithoutEqualsSignHasNoValueButEmptyValueIsText)
{
    IniDocument doc("[S]\nbare\nempty=\n");
    EXPECT_EQ(Get(doc, "S", "bare"), "<none>");
    EXPECT_EQ(Get(doc, "S", "empty"), "");
}

TEST(IniDocument, StripsMatchingQuotesOnly)
{
    IniDocument doc("[S]\nq=\"text\"\ns='x'\nhalf=\"open\nmixed=\"x'\n");
    EXPECT_EQ(Get(doc, "S", "q"), "text");
    EXPECT_EQ(Get(doc, "S", "s"), "x");
    EXPECT_EQ(Get(doc, "S", "half"), "\"open");
    EXPECT_EQ(Get(doc, "S", "mixed"), "\"x'");
}

TEST(IniDocument, CutsValuesToTheBuffer)
{
    IniDocument doc("[S]\nk=" + std::string(300, 'x') + "\n");
    EXPECT_EQ(Get(doc, "S", "k").size(), 259u);
    EXPECT_EQ(doc.Find("S", "k", 1).value(), "");
}

TEST(IniDocument, LineEndsAndByteOrderMark)
{
    IniDocument doc("\xEF\xBB\xBF[S]\ra=1\r\nb=2\n\n\nc=3");
    EXPECT_EQ(Get(doc, "S", "a"), "1");
    EXPECT_EQ(Get(doc, "S", "b"), "2");
    EXPECT_EQ(Get(doc, "S", "c"), "3");
}

TEST(IniDocument, SetReplacesOrAppendsAndRoundTrips)
{
    IniDocument doc("[S]\nk=old\n");
    doc.Set("s", "K", "new");
    doc.Set("S", "other", "1");
    doc.Set("BoardArea", "ptArea.left", "31");
    IniDocument again(doc.Text());
    EXPECT_EQ(Get(again, "S", "k"), "new");
    EXPECT_EQ(Get(again, "S", "other"), "1");
    EXPECT_EQ(Get(again, "BoardArea", "ptArea.left"), "31");
}

TEST(ProfileInt, ParsesLikeThePlatform)
{
    EXPECT_EQ(common::ParseProfileInt("  42xyz"), 42);
    EXPECT_EQ(common::ParseProfileInt("-12"), -12);
    EXPECT_EQ(common::ParseProfileInt("+9"), 9);
    EXPECT_EQ(common::ParseProfileInt("abc"), 0);
    EXPECT_EQ(common::ParseProfileInt("3.9"), 3);
    EXPECT_EQ(common::ParseProfileInt("4294967295"), -1);
    EXPECT_EQ(common::ParseProfileInt("0x1F"), 31);
    EXPECT_EQ(common::ParseProfileInt("0012"), 12);
}

class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = ::testing::TempDir() + "profile_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                ".ini";
        std::remove(path_.c_str());
    }
    void TearDown() override { std::remove(path_.c_str()); }
    void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string path_;
};

TEST_F(ProfileFile, MissingFileGivesDefaults)
{
    common::PortableProfile profile(path_);
    EXPECT_EQ(profile.ReadString("String", "IDS_SERRUNNING", "GetError"), "GetError");
    EXPECT_EQ(profile.ReadInt("coordinate", "wdot", 3), 3);
}

TEST_F(ProfileFile, IntegersFallBackOnlyWhenMissingOrEmpty)
{
    Write("[S]\nempty=\nletters=abc\nnum=  17 \n");
    common::PortableProfile profile(path_);
    EXPECT_EQ(profile.ReadInt("S", "empty", 5), 5);
    EXPECT_EQ(profile.ReadInt("S", "letters", 5), 0);
    EXPECT_EQ(profile.ReadInt("S", "num", 5), 17);
    EXPECT_EQ(profile.ReadInt("S", "missing", 5), 5);
}

TEST_F(ProfileFile, WriteCreatesTheFileAndLaterReadsSeeIt)
{
    common::PortableProfile profile(path_);
    profile.WriteString("PENVARO", "BOX1LASTCHOOSE", "2");
    EXPECT_EQ(profile.ReadInt("PENVARO", "BOX1LASTCHOOSE", 5), 2);
    profile.WriteString("PENVARO", "BOX1LASTCHOOSE", "7");
    EXPECT_EQ(common::PortableProfile(path_).ReadInt("PENVARO", "BOX1LASTCHOOSE", 5), 7);
}

TEST_F(ProfileFile, SeesChangesMadeByOtherWriters)
{
    Write("[S]\nk=1\n");
    common::PortableProfile profile(path_);
    EXPECT_EQ(profile.ReadInt("S", "k", 0), 1);
    Write("[S]\nk=22222\n"); // a different size is noticed even within one clock tick
    EXPECT_EQ(profile.ReadInt("S", "k", 0), 22222);
}

TEST_F(ProfileFile, DriverStringsWithAndWithoutFile)
{
    common::PortableProfile profile(path_);
    auto missing = common::LoadDriverStrings(profile);
    EXPECT_EQ(missing.caption, "GetError");
    EXPECT_EQ(missing.alreadyRunning, "GetError");
    EXPECT_EQ(missing.calibrationFailed, "GetError");

    Write("[string]\nids_connectcap=Board\nIDS_SERRUNNING=Running\n");
    auto texts = common::LoadDriverStrings(profile);
    EXPECT_EQ(texts.caption, "Board");
    EXPECT_EQ(texts.alreadyRunning, "Running");
    EXPECT_EQ(texts.calibrationFailed, "GetError");
}

// The calibration program checks what the driver will make of a settings
// text before it writes the file: the text held in memory must read as the
// file does.
TEST_F(ProfileFile, ATextHeldInMemoryReadsAsItsFile)
{
    for (const auto& c : corpus::Cases()) {
        Write(c.text);
        const common::PortableProfile file(path_);
        const common::TextProfile text(c.text);
        for (const auto& r : c.requests) {
            EXPECT_EQ(text.ReadString(r.section, r.key, "GetError  "), file.ReadString(r.section, r.key, "GetError  "))
                << c.name << ": " << r.section << "/" << r.key;
            EXPECT_EQ(text.ReadInt(r.section, r.key, 7), file.ReadInt(r.section, r.key, 7))
                << c.name << ": " << r.section << "/" << r.key;
        }
    }
}

TEST(ProfileCorpus, EveryRequestAnswersWithinTheBuffer)
{
    for (const auto& c : corpus::Cases()) {
        IniDocument doc(c.text);
        for (const auto& r : c.requests) {
            auto value = doc.Find(r.section, r.key, common::kProfileBufferChars);
            if (value) {
                EXPECT_LT(value->size(), common::kProfileBufferChars) << c.name;
            }
        }
    }
}

} // namespace
