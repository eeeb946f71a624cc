#include "common/CameraIds.h"
#include "common/SettingsLocator.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

class FakeFileSystem : public common::SettingsFileSystem {
public:
    std::set<std::string> files;
    std::vector<std::string> calls;

    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    bool MakeFolders(const std::string& folder) override
    {
        calls.push_back("mkdir " + folder);
        return true;
    }
    bool CopyAsNew(const std::string& from, const std::string& to) override
    {
        calls.push_back("copy " + from + " -> " + to);
        if (!files.count(from)) return false;
        files.insert(to);
        return true;
    }
    void SleepMs(unsigned ms) override { calls.push_back("sleep " + std::to_string(ms)); }
};

const std::string kProgram = "C:\\Board\\";
const std::string kAppData = "C:\\Users\\t\\AppData\\Roaming";

TEST(SettingsLocator, AdministratorUsesTheProgramFolderCopy)
{
    FakeFileSystem fs;
    EXPECT_EQ(common::LocateSettingsFile(kProgram, true, kAppData, fs), "C:\\Board\\WBInit.ini");
    EXPECT_TRUE(fs.calls.empty());
}

TEST(SettingsLocator, FirstStartOfAUserCopiesTheProgramFolderFile)
{
    FakeFileSystem fs;
    fs.files.insert("C:\\Board\\WBInit.ini");
    const std::string path = common::LocateSettingsFile(kProgram, false, kAppData, fs);
    EXPECT_EQ(path, kAppData + "\\CvSoftware\\Drivers\\WBInit.ini");
    const std::vector<std::string> expected = {
        "mkdir " + kAppData + "\\CvSoftware\\Drivers\\",
        "copy C:\\Board\\WBInit.ini -> " + path,
        "sleep 20",
    };
    EXPECT_EQ(fs.calls, expected);
}

TEST(SettingsLocator, AnExistingUserCopyIsNeverRefreshed)
{
    FakeFileSystem fs;
    fs.files.insert("C:\\Board\\WBInit.ini");
    fs.files.insert(kAppData + "\\CvSoftware\\Drivers\\WBInit.ini");
    common::LocateSettingsFile(kProgram, false, kAppData, fs);
    EXPECT_TRUE(fs.calls.empty());
}

TEST(SettingsLocator, MissingProgramFileStillGivesTheUserPath)
{
    FakeFileSystem fs;
    EXPECT_EQ(common::LocateSettingsFile(kProgram, false, kAppData, fs),
              kAppData + "\\CvSoftware\\Drivers\\WBInit.ini");
    EXPECT_EQ(fs.files.size(), 0u);
}

TEST(CameraIds, TablesShareOneProductIdAndSpellIdsInUpperCase)
{
    auto text = product::UpperHardwareId(0xfa01, 0x0b0a);
    EXPECT_STREQ(text.data(), "VID_FA01&PID_0B0A");
    std::set<std::uint16_t> vendors;
    for (const auto& m : product::kCameraModels) vendors.insert(m.vendorId);
    EXPECT_EQ(vendors.size(), 6u) << "every model has its own vendor ID";
}

} // namespace
