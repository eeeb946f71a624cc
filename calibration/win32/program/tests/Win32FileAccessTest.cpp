// The settings file's whole-or-nothing write on the files Wine gives a
// Windows program: under a folder named in another script than the code
// page's, a file held open by a program that lets nobody replace it stays
// as it was with no temporary file left, and the write goes through once
// that program lets go.
#include "Win32FileAccess.h"

#include "common/TextEncoding.h"
#include "common/UniqueHandle.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using calibration::WriteOutcome;

std::string TemporaryFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return common::Utf8(folder);
}

class Win32Files : public ::testing::Test {
protected:
    Win32Files()
        : folder_(TemporaryFolder() + "\xE7\x99\xBD\xE6\x9D\xBF-" + std::to_string(GetCurrentProcessId()) + "\\"),
          target_(folder_ + "WBInit.ini")
    {
        CreateDirectoryW(common::Wide(folder_).c_str(), nullptr);
    }
    ~Win32Files() override
    {
        DeleteFileW(common::Wide(target_).c_str());
        DeleteFileW(common::Wide(calibration::TemporaryPathFor(target_)).c_str());
        RemoveDirectoryW(common::Wide(folder_).c_str());
    }

    std::string Read()
    {
        std::string text;
        return files_.ReadWhole(target_, text) ? text : "(unreadable)";
    }

    kalmeno::Win32FileAccess files_;
    std::string folder_;
    std::string target_;
};

TEST_F(Win32Files, AFileHeldAgainstReplacingStaysWholeAndTheWriteGoesThroughOnceLetGo)
{
    ASSERT_TRUE(files_.WriteFlushed(target_, "[coordinate]\r\nwdot=3\r\n"));
    {
        // An editor that keeps the file open and lets others read it only.
        const common::UniqueHandle held(CreateFileW(common::Wide(target_).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_NE(calibration::WriteWholeOrNothing(files_, target_, "[coordinate]\r\nwdot=5\r\n"), WriteOutcome::Written);
        EXPECT_EQ(Read(), "[coordinate]\r\nwdot=3\r\n");
        EXPECT_EQ(GetFileAttributesW(common::Wide(calibration::TemporaryPathFor(target_)).c_str()),
                  INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_EQ(calibration::WriteWholeOrNothing(files_, target_, "[coordinate]\r\nwdot=5\r\n"), WriteOutcome::Written);
    EXPECT_EQ(Read(), "[coordinate]\r\nwdot=5\r\n");
}

} // namespace
