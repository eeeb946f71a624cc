#include "common/SettingsLocator.h"
#include "common/UniqueHandle.h"
#include "common/Win32Monitors.h"
#include "common/Win32System.h"
#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

using sim::ReadWholeFile;
using sim::WriteWholeFile;

TEST(Win32System, ProgramFolderEndsWithABackslashAndHoldsTheProgram)
{
    const std::string folder = common::ProgramFolderA();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    EXPECT_EQ(std::string(module).rfind(folder, 0), 0u);
    EXPECT_EQ(common::ProgramFolderW(), std::wstring(folder.begin(), folder.end()));
}

TEST(Win32System, TheTestUserIsAnAdministrator)
{
    // Wine's user belongs to the Administrators group.
    EXPECT_EQ(common::IsUserAdmin(), 1);
}

TEST(Win32System, NonAdministratorGetsAPerUserCopyMadeOnce)
{
    const sim::ScratchFolder folder(sim::TempFolder(), "locator");
    const std::string program = folder.File("program\\");
    const std::string appData = folder.File("appdata");
    CreateDirectoryA(program.c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(program + "WBInit.ini", "[coordinate]\r\nwdot=4\r\n"));

    common::Win32SettingsFileSystemA fs;
    const std::string path = common::LocateSettingsFile(program, false, appData, fs);
    EXPECT_EQ(path, appData + "\\CvSoftware\\Drivers\\WBInit.ini");
    EXPECT_EQ(ReadWholeFile(path), "[coordinate]\r\nwdot=4\r\n");

    // Later edits of the program folder's file do not reach the user's copy.
    ASSERT_TRUE(WriteWholeFile(program + "WBInit.ini", "[coordinate]\r\nwdot=9\r\n"));
    common::LocateSettingsFile(program, false, appData, fs);
    EXPECT_EQ(ReadWholeFile(path), "[coordinate]\r\nwdot=4\r\n");
}

// The driver and Penvaro may start together for a new user, each making the
// copy: the first one's stays, and no temporary file is left behind.
TEST(Win32System, ThePerUserCopyIsNeverMadeOverAnotherAndLeavesNothingBeside)
{
    const sim::ScratchFolder folder(sim::TempFolder(), "copy-as-new");
    const std::string source = folder.File("WBInit.ini");
    const std::string target = folder.File("user.ini");
    ASSERT_TRUE(WriteWholeFile(source, "[coordinate]\r\nwdot=4\r\n"));
    ASSERT_TRUE(WriteWholeFile(target, "[coordinate]\r\nwdot=9\r\n"));
    common::Win32SettingsFileSystemA fs;
    EXPECT_FALSE(fs.CopyAsNew(source, target));
    EXPECT_EQ(ReadWholeFile(target), "[coordinate]\r\nwdot=9\r\n") << "a fresh copy was overwritten";

    // Larger than one piece of the copy, byte for byte.
    const std::string large(200 * 1024 + 7, 'x');
    ASSERT_TRUE(WriteWholeFile(source, large));
    const std::string fresh = folder.File("fresh.ini");
    EXPECT_TRUE(fs.CopyAsNew(source, fresh));
    EXPECT_EQ(ReadWholeFile(fresh), large);
    int files = 0;
    WIN32_FIND_DATAA found;
    const common::UniqueFind search(FindFirstFileA(folder.File("*").c_str(), &found));
    for (bool more = static_cast<bool>(search); more; more = FindNextFileA(search.Get(), &found) != FALSE) {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++files;
    }
    EXPECT_EQ(files, 3);
}

TEST(Win32System, WideLocatorFollowsTheSameRule)
{
    const std::wstring program = L"C:\\nonexistent_program_folder\\";
    const sim::ScratchFolder folder(sim::TempFolder(), "locator-wide");
    const std::string appDataNarrow = folder.File("appdata");
    const std::wstring appData(appDataNarrow.begin(), appDataNarrow.end());
    common::Win32SettingsFileSystemW fs;
    const std::wstring path = common::LocateSettingsFile(program, false, appData, fs);
    EXPECT_EQ(path, appData + L"\\CvSoftware\\Drivers\\WBInit.ini");
    // The folders exist even though there was nothing to copy.
    DWORD attributes = GetFileAttributesW((appData + L"\\CvSoftware\\Drivers").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(common::LocateSettingsFile(program, true, appData, fs), L"C:\\nonexistent_program_folder\\WBInit.ini");
}

// The monitors as listed agree with the system metrics the driver always
// read: the primary screen and the rectangle around all monitors.
TEST(Win32System, TheMonitorsAgreeWithTheSystemMetrics)
{
    const common::DisplayLayout layout = common::ReadDisplayLayout();
    ASSERT_NE(layout.Primary(), nullptr);
    EXPECT_EQ(layout.monitors.size(), static_cast<std::size_t>(GetSystemMetrics(SM_CMONITORS)));
    EXPECT_EQ(layout.Primary()->rect,
              (common::PixelRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    EXPECT_EQ(layout.Primary()->deviceName.compare(0, 4, "\\\\.\\"), 0) << layout.Primary()->deviceName;
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    EXPECT_EQ(layout.virtualScreen, (common::PixelRect{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                                      top + GetSystemMetrics(SM_CYVIRTUALSCREEN)}));
    // Nothing is scaled under Wine: physical pixels are the program's own.
    EXPECT_EQ(layout.physicalVirtualScreen, layout.virtualScreen);
}

} // namespace
