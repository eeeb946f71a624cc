// Which value of an option the driver uses: a policy's, else the user's own
// copy of WBInit.ini when that copy has the option's section, else the
// program folder's copy; for a user who is not an administrator, as the
// locator places and makes that copy.
#include "CalibrationMemoryProfile.h"
#include "DriverFakes.h"

#include "common/CalibrationProgram.h"
#include "common/DisplaySettings.h"
#include "common/Options.h"
#include "common/SettingsLocator.h"
#include "driver/FilterSettings.h"
#include "driver/MultitouchSettings.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace driver {
namespace {

using calibration_testing::MemoryProfile;
using testing::RecordingFaultLog;

const std::string kProgramFolder = "C:\\Program Files\\Board\\";
const std::string kAppData = "C:\\Users\\pupil\\AppData\\Roaming";

// Files by path; a copy copies the text and keeps a file already there.
class MemoryDisk final : public common::SettingsFileSystem {
public:
    std::map<std::string, std::string> files;

    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    bool MakeFolders(const std::string&) override { return true; }
    bool CopyAsNew(const std::string& from, const std::string& to) override
    {
        if (!files.count(from) || files.count(to)) return false;
        files[to] = files[from];
        return true;
    }
    void SleepMs(unsigned) override {}
};

class OptionPrecedence : public ::testing::Test {
protected:
    // The user logs on: the driver locates the file as for a user who is
    // not an administrator, and reads the section with `policies` in force.
    MultitouchSettings LogOn(const common::PolicyValues& policies = {})
    {
        const std::string path = common::LocateSettingsFile(kProgramFolder, false, kAppData, disk);
        EXPECT_NE(path, kProgramFolder + common::kSettingsFileName);
        const MemoryProfile user(disk.files[path]);
        const MemoryProfile program(disk.files[kProgramFolder + common::kSettingsFileName]);
        return ReadMultitouchSettings({user, program, policies}, faults);
    }
    void SetProgramFolderFile(const std::string& text)
    {
        disk.files[kProgramFolder + common::kSettingsFileName] = text;
    }

    MemoryDisk disk;
    RecordingFaultLog faults;
};

TEST_F(OptionPrecedence, AUserCopyWithoutTheSectionTakesTheProgramFoldersAndAPolicyWinsOverBoth)
{
    SetProgramFolderFile("[coordinate]\nwdot=3\n");
    EXPECT_FALSE(LogOn().tuio) << "the first logon copies a file without the section";

    // An install property later writes the section into the program folder.
    SetProgramFolderFile("[coordinate]\nwdot=3\n[Multitouch]\nTUIO=1\nTUIO_PORT=4000\n");
    MultitouchSettings settings = LogOn();
    EXPECT_TRUE(settings.fromProgramFolder);
    EXPECT_TRUE(settings.tuio);
    EXPECT_EQ(settings.tuioPort, 4000);

    // A policy sets one option; the others still come from the program folder.
    common::PolicyValues policies;
    policies.Set(common::options::kTuioPort, "4500");
    settings = LogOn(policies);
    EXPECT_TRUE(settings.tuio);
    EXPECT_EQ(settings.tuioPort, 4500);
}

TEST_F(OptionPrecedence, AUserCopyWithTheSectionDecidesUnlessAPolicySpeaks)
{
    SetProgramFolderFile("[Multitouch]\nTUIO=1\nTUIO_PORT=4000\n");
    LogOn();
    const std::string userCopy = kAppData + common::kPerUserFolder + common::kSettingsFileName;
    ASSERT_EQ(disk.files.count(userCopy), 1u);
    disk.files[userCopy] = "[Multitouch]\nTOUCH_INJECTION=1\n";

    MultitouchSettings settings = LogOn();
    EXPECT_FALSE(settings.fromProgramFolder);
    EXPECT_FALSE(settings.tuio) << "keys the user's section leaves out take their defaults";
    EXPECT_TRUE(settings.touchInjection);

    common::PolicyValues policies;
    policies.Set(common::options::kTuio, "1");
    policies.Set(common::options::kTouchInjection, "0");
    settings = LogOn(policies);
    EXPECT_TRUE(settings.tuio);
    EXPECT_FALSE(settings.touchInjection);
    EXPECT_EQ(settings.tuioPort, 3333);
}

// A bad value is as bad from a policy as from the file, and no file value
// stands in for it: the policy is in force.
TEST_F(OptionPrecedence, ABadPolicyValueIsNotReplacedByTheFiles)
{
    SetProgramFolderFile("[Multitouch]\nTUIO=1\nTUIO_PORT=4000\n");
    common::PolicyValues policies;
    policies.Set(common::options::kTuioPort, "0");
    EXPECT_FALSE(LogOn(policies).tuio);
    EXPECT_EQ(faults.Count("TUIO_PORT=0"), 1u);
}

// Every option of the table has a policy the driver reads: each set to a
// value other than its default changes what the driver reads.
TEST_F(OptionPrecedence, EveryOptionsPolicyReachesTheDriver)
{
    using namespace common::options;
    struct Read {
        MultitouchSettings multitouch;
        common::DisplaySettings display;
        FilterSettings filter;
        common::CalibrationProgramSettings calibrationProgram;
    };
    struct Case {
        const common::Option* option;
        const char* value;
        std::function<bool(const Read&)> took;
    };
    const Case cases[] = {
        {&kTuio, "1", [](const Read& r) { return r.multitouch.tuio; }},
        {&kTuioHost, "10.1.2.3", [](const Read& r) { return r.multitouch.TuioHostText() == "10.1.2.3"; }},
        {&kTuioPort, "4444", [](const Read& r) { return r.multitouch.tuioPort == 4444; }},
        {&kTouchInjection, "1", [](const Read& r) { return r.multitouch.touchInjection; }},
        {&kMonitor, "secondary", [](const Read& r) { return r.display.Text() == "secondary"; }},
        {&kFilterMode, "adaptive", [](const Read& r) { return r.filter.mode == FilterMode::Adaptive; }},
        {&kFilterMinCutoff, "2.5", [](const Read& r) { return r.filter.oneEuro.minCutoffHz == 2.5; }},
        {&kFilterBeta, "0.25", [](const Read& r) { return r.filter.oneEuro.beta == 0.25; }},
        {&kFilterDerivativeCutoff, "3", [](const Read& r) { return r.filter.oneEuro.derivativeCutoffHz == 3; }},
        {&kFilterStillSpeed, "250", [](const Read& r) { return r.filter.oneEuro.stillSpeed == 250; }},
        {&kOwnCalibrationProgram, "1", [](const Read& r) { return r.calibrationProgram.preferOwn; }},
    };
    ASSERT_EQ(std::size(cases), std::size(common::kOptions)) << "an option of the table without a case here";

    SetProgramFolderFile("");
    common::PolicyValues policies;
    for (const Case& c : cases) {
        ASSERT_TRUE(common::IsAllowedValue(*c.option, c.value)) << c.option->key;
        ASSERT_STRNE(c.option->fallback, c.value) << c.option->key;
        policies.Set(*c.option, c.value);
    }
    Read read;
    read.multitouch = LogOn(policies);
    read.display = common::ReadDisplaySettings({MemoryProfile(), MemoryProfile(), policies});
    read.filter = ReadFilterSettings({MemoryProfile(), MemoryProfile(), policies}, faults);
    read.calibrationProgram = common::ReadCalibrationProgramSettings({MemoryProfile(), MemoryProfile(), policies});
    for (const Case& c : cases) EXPECT_TRUE(c.took(read)) << c.option->key;
    EXPECT_TRUE(faults.lines.empty());
}

} // namespace
} // namespace driver
