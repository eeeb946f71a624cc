#include "CalibratorScript.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

std::string Steps(const CalibratorScript& script)
{
    std::string text;
    for (const CalibratorCommand& command : script.commands) {
        static const char* names[] = {"start", "records", "nonzero", "wait", "settings", "end", "stall", "resume"};
        if (!text.empty()) text += ' ';
        text += names[static_cast<int>(command.step)];
    }
    return text;
}

TEST(CalibratorScript, ReadsARunWithItsArguments)
{
    const CalibratorScript script = ParseCalibratorScript("# one calibration\n"
                                                          "start 8\n"
                                                          "nonzero 3   # the touches\n"
                                                          "\n"
                                                          "stall\n"
                                                          "wait go\n"
                                                          "resume\n"
                                                          "settings new.ini\n"
                                                          "end 0 1\n");
    ASSERT_EQ(script.error, "");
    ASSERT_EQ(Steps(script), "start nonzero stall wait resume settings end");
    EXPECT_EQ(script.commands[0].value, 8);
    EXPECT_EQ(script.commands[1].value, 3);
    EXPECT_EQ(script.commands[1].line, 3);
    EXPECT_EQ(script.commands[3].name, "go");
    EXPECT_EQ(script.commands[5].name, "new.ini");
    EXPECT_EQ(script.commands[6].value, 0);
    EXPECT_EQ(script.commands[6].second, 1);
}

TEST(CalibratorScript, UnrollsRepeatBlocks)
{
    const CalibratorScript script = ParseCalibratorScript("repeat 3\nstart 0\nrecords 2\nend 0 1\ndone\nwait x\n");
    ASSERT_EQ(script.error, "");
    EXPECT_EQ(Steps(script), "start records end start records end start records end wait");
    EXPECT_EQ(script.commands[3].line, 2);
}

struct BadScript {
    const char* text;
    int line;
    const char* error;
};

class CalibratorScriptErrors : public ::testing::TestWithParam<BadScript> {};

TEST_P(CalibratorScriptErrors, RefuseTheWholeScript)
{
    const CalibratorScript script = ParseCalibratorScript(GetParam().text);
    EXPECT_TRUE(script.commands.empty());
    EXPECT_EQ(script.errorLine, GetParam().line);
    EXPECT_EQ(script.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Mistakes, CalibratorScriptErrors,
                         ::testing::Values(BadScript{"start\n", 1, "start needs the lParam"},
                                           BadScript{"start 0\nrecords 0\n", 2, "records needs a count of at least 1"},
                                           BadScript{"start 0\nnonzero 2x\n", 2, "nonzero needs a count of at least 1"},
                                           BadScript{"start 99999999999999999999\n", 1, "start needs the lParam"},
                                           BadScript{"settings ..\\WBInit.ini\n", 1, "settings needs a file name"},
                                           BadScript{"wait\n", 1, "wait needs a file name"},
                                           BadScript{"start 0\nend 0\n", 2, "end needs wParam and lParam"},
                                           BadScript{"start 0\nend 0 0 0\n", 2, "too many words"},
                                           BadScript{"jump 3\n", 1, "unknown command jump"},
                                           BadScript{"records 3\n", 1, "reading outside a run"},
                                           BadScript{"stall\n", 1, "stall outside a run"},
                                           BadScript{"start 0\nstall 5\n", 2, "too many words"},
                                           BadScript{"start 0\nstart 0\n", 2, "start inside a run"},
                                           BadScript{"end 0 0\n", 1, "end without start"},
                                           BadScript{"repeat 2\nrepeat 2\n", 2, "repeat inside repeat"},
                                           BadScript{"repeat 0\n", 1, "repeat needs a count of 1 to 1000"},
                                           BadScript{"repeat 2\nstart 0\nend 0 1\n", 1, "repeat without done"},
                                           BadScript{"done\n", 1, "done without repeat"},
                                           BadScript{"repeat 2\nstart 0\ndone\n", 2, "start inside a run"}));

} // namespace
} // namespace sim
