#include "pentool/PenButtonChoice.h"

#include "common/PortableProfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace pentool {
namespace {

class PenButtonChoiceFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = (std::filesystem::temp_directory_path() /
                 ("pentool-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini"))
                    .string();
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string Contents() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream out;
        out << in.rdbuf();
        return out.str();
    }

    std::string path_;
};

TEST_F(PenButtonChoiceFile, MissingFileGivesCustomModeWithPenAndEraser)
{
    common::PortableProfile settings(path_);
    const PenButtonChoice choice = ReadPenButtonChoice(settings);
    EXPECT_FALSE(choice.defaultMode);
    EXPECT_EQ(choice.front, 5);
    EXPECT_EQ(choice.back, 6);
}

TEST_F(PenButtonChoiceFile, ReadsTheStoredKeysWhateverTheirCase)
{
    Write("[coordinate]\r\nwdot=3\r\n[penvaro]\r\nif_set_f_no_t=1\r\nBOX1LASTCHOOSE=2\r\nBox2LastChoose=9\r\n");
    common::PortableProfile settings(path_);
    const PenButtonChoice choice = ReadPenButtonChoice(settings);
    EXPECT_TRUE(choice.defaultMode);
    EXPECT_EQ(choice.front, 2);
    EXPECT_EQ(choice.back, 9);
}

TEST_F(PenButtonChoiceFile, AnyNonZeroModeIsDefaultMode)
{
    Write("[PENVARO]\r\nIF_SET_F_NO_T=7\r\n");
    common::PortableProfile settings(path_);
    EXPECT_TRUE(ReadPenButtonChoice(settings).defaultMode);
}

TEST_F(PenButtonChoiceFile, WriteStoresAllThreeKeysAndKeepsTheRestOfTheFile)
{
    Write("[coordinate]\r\nwdot=4\r\n[PENVARO]\r\nBOX1LASTCHOOSE=3\r\n");
    {
        common::PortableProfile settings(path_);
        WritePenButtonChoice(settings, {true, 10, kNoAction});
    }
    common::PortableProfile reread(path_);
    EXPECT_EQ(reread.ReadString("PENVARO", "IF_SET_F_NO_T", ""), "1");
    EXPECT_EQ(reread.ReadString("PENVARO", "BOX1LASTCHOOSE", ""), "10");
    EXPECT_EQ(reread.ReadString("PENVARO", "BOX2LASTCHOOSE", ""), "-1");
    EXPECT_EQ(reread.ReadInt("coordinate", "wdot", 0), 4);
    EXPECT_EQ(Contents().find("BOX1LASTCHOOSE=3"), std::string::npos);
}

TEST(ListItemForStoredIndex, OnlyIndexesOfTheElevenActionsSelectAnItem)
{
    EXPECT_EQ(ListItemForStoredIndex(0), 0);
    EXPECT_EQ(ListItemForStoredIndex(10), 10);
    EXPECT_EQ(ListItemForStoredIndex(11), kNoAction);
    EXPECT_EQ(ListItemForStoredIndex(-1), kNoAction);
    EXPECT_EQ(ListItemForStoredIndex(-7), kNoAction);
}

} // namespace
} // namespace pentool
