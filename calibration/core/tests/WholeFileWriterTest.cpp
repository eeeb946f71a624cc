// The settings file is replaced whole or not at all.
#include "FakeFiles.h"

#include "calibration/WholeFileWriter.h"

#include <gtest/gtest.h>

namespace {

using calibration::WriteOutcome;
using calibration::WriteWholeOrNothing;
using calibration_testing::FakeFiles;

const std::string kTarget = "C:\\Users\\teacher\\AppData\\Roaming\\CvSoftware\\Drivers\\WBInit.ini";
const std::string kOld = "[coordinate]\r\nwdot=3\r\n; the teacher's note\r\n";
const std::string kNew = "[coordinate]\r\nwdot=4\r\n; the teacher's note\r\n";

TEST(WholeFileWriter, TheNewTextTakesTheTargetsNameFromATemporaryFileBesideIt)
{
    FakeFiles files;
    files.files[kTarget] = kOld;
    EXPECT_EQ(WriteWholeOrNothing(files, kTarget, kNew), WriteOutcome::Written);
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{kTarget, kNew}}));
    const std::string temporary = calibration::TemporaryPathFor(kTarget);
    EXPECT_EQ(temporary.substr(0, temporary.rfind('\\')), kTarget.substr(0, kTarget.rfind('\\'))) << "same folder";
    EXPECT_EQ(files.calls, (std::vector<std::string>{"write " + temporary, "move " + temporary + " " + kTarget}));
}

TEST(WholeFileWriter, AFailureAtAnyStepLeavesTheOldFileAndNoTemporaryFile)
{
    struct Case {
        const char* what;
        std::optional<std::size_t> writeGivesOutAfter;
        bool moveFails;
        WriteOutcome outcome;
    };
    const Case cases[] = {
        {"nothing written", 0, false, WriteOutcome::TemporaryFailed},
        {"a write cut short", kNew.size() / 2, false, WriteOutcome::TemporaryFailed},
        {"the last byte missing", kNew.size() - 1, false, WriteOutcome::TemporaryFailed},
        {"the move refused", std::nullopt, true, WriteOutcome::MoveFailed},
    };
    for (const Case& c : cases) {
        FakeFiles files;
        files.files[kTarget] = kOld;
        files.writeGivesOutAfter = c.writeGivesOutAfter;
        files.moveFails = c.moveFails;
        EXPECT_EQ(WriteWholeOrNothing(files, kTarget, kNew), c.outcome) << c.what;
        EXPECT_EQ(files.files, (std::map<std::string, std::string>{{kTarget, kOld}})) << c.what;
    }
}

} // namespace
