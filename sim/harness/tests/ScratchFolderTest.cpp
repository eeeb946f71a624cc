#include "sim/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace sim {
namespace {

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(ScratchFolder, ATemporaryFolderGoesWithEverythingInIt)
{
    std::string path;
    {
        const ScratchFolder folder(OwnFolder() + "scratch\\", "kit-temporary");
        ASSERT_TRUE(folder.Ok());
        path = folder.Path();
        EXPECT_EQ(path.back(), '\\');
        ASSERT_TRUE(CreateDirectoryA(folder.File("deeper").c_str(), nullptr));
        ASSERT_TRUE(folder.Write("deeper\\note.txt", "kept?"));
        ASSERT_TRUE(folder.Write("top.txt", "line\r\n"));
        SetFileAttributesA(folder.File("top.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        EXPECT_TRUE(folder.Holds("deeper\\note.txt"));
    }
    EXPECT_FALSE(Exists(path)) << path;
}

TEST(ScratchFolder, TwoTemporaryFoldersOfOneLabelAreApart)
{
    const ScratchFolder first(OwnFolder() + "scratch\\", "kit-twin");
    const ScratchFolder second(OwnFolder() + "scratch\\", "kit-twin");
    ASSERT_TRUE(first.Ok());
    ASSERT_TRUE(second.Ok());
    EXPECT_NE(first.Path(), second.Path());
}

// A test on another Wine desktop may run under the same process id: the
// folders its scratch folders are named like are its own, in use.
TEST(ScratchFolder, AFolderAlreadyThereUnderItsNameIsLeftAlone)
{
    const std::string stem = OwnFolder() + "scratch\\kit-taken-" + std::to_string(GetCurrentProcessId()) + "-";
    CreateDirectoryA((OwnFolder() + "scratch\\").c_str(), nullptr);
    std::vector<std::string> taken;
    for (int n = 1; n <= 5; ++n) {
        taken.push_back(stem + std::to_string(n) + "\\");
        CreateDirectoryA(taken.back().c_str(), nullptr);
        const HANDLE marker = CreateFileA((taken.back() + "in-use").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(marker, INVALID_HANDLE_VALUE);
        CloseHandle(marker);
    }
    {
        const ScratchFolder folder(OwnFolder() + "scratch\\", "kit-taken");
        ASSERT_TRUE(folder.Ok());
        EXPECT_EQ(std::find(taken.begin(), taken.end(), folder.Path()), taken.end()) << folder.Path();
    }
    for (const std::string& path : taken) {
        EXPECT_TRUE(Exists(path + "in-use")) << path;
        DeleteFileA((path + "in-use").c_str());
        RemoveDirectoryA(path.c_str());
    }
}

TEST(ScratchFolder, AKeptFolderIsEmptiedFirstAndStays)
{
    std::string path;
    {
        const ScratchFolder folder(OwnFolder() + "scratch\\", "kit-kept", FolderLifetime::Kept);
        ASSERT_TRUE(folder.Ok());
        path = folder.Path();
        EXPECT_EQ(path, OwnFolder() + "scratch\\kit-kept\\");
        ASSERT_TRUE(folder.Write("left.txt", "from the first run"));
    }
    ASSERT_TRUE(Exists(path + "left.txt"));
    const ScratchFolder again(OwnFolder() + "scratch\\", "kit-kept", FolderLifetime::Kept);
    ASSERT_TRUE(again.Ok());
    EXPECT_FALSE(again.Holds("left.txt"));
}

TEST(ScratchFolder, WritesReadsAndCopiesFilesByName)
{
    const ScratchFolder folder(OwnFolder() + "scratch\\", "kit-files");
    ASSERT_TRUE(folder.Write("a.ini", "[x]\r\ny=1\r\n"));
    EXPECT_EQ(folder.Read("a.ini"), "[x]\r\ny=1\r\n");
    EXPECT_EQ(folder.Read("missing.ini"), "");
    EXPECT_FALSE(folder.Holds("missing.ini"));
    ASSERT_TRUE(folder.CopyIn(folder.File("a.ini"), "b.ini"));
    EXPECT_EQ(folder.Read("b.ini"), "[x]\r\ny=1\r\n");
    EXPECT_FALSE(folder.CopyIn(folder.File("missing.ini"), "c.ini"));
}

TEST(ScratchFolder, OwnAndTemporaryFoldersEndWithABackslash)
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    const std::string own = OwnFolder();
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own.back(), '\\');
    EXPECT_EQ(std::string(module).rfind(own, 0), 0u);
    const std::string temp = TempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(Exists(temp));
}

TEST(BuiltPath, UnixPathsLandOnTheZDriveAndSlashesTurn)
{
    EXPECT_EQ(BuiltPath("/work/build/bin/Penvaro.exe"), "Z:\\work\\build\\bin\\Penvaro.exe");
    EXPECT_EQ(BuiltPath("C:/programs/Tilmaro.exe"), "C:\\programs\\Tilmaro.exe");
    EXPECT_EQ(BuiltPath("C:\\already\\so.exe"), "C:\\already\\so.exe");
    EXPECT_EQ(BuiltPath(""), "");
}

TEST(BuiltPath, TheFolderOfAPath)
{
    EXPECT_EQ(FolderOf("Z:\\work\\bin\\FakeCamera.dll"), "Z:\\work\\bin\\");
    EXPECT_EQ(FolderOf("C:/mixed\\slashes/file.txt"), "C:/mixed\\slashes/");
    EXPECT_EQ(FolderOf("file.txt"), ".\\");
}

} // namespace
} // namespace sim
