// Section [Filter]: the fixed smoothing unless asked otherwise, which copy
// of WBInit.ini speaks, and values replaced by their defaults with a line.
#include "CalibrationMemoryProfile.h"
#include "DriverFakes.h"

#include "driver/FilterSettings.h"

#include <gtest/gtest.h>

namespace driver {
namespace {

using calibration_testing::MemoryProfile;
using testing::RecordingFaultLog;

class FilterSettingsTest : public ::testing::Test {
protected:
    FilterSettings Read(const std::string& userText, const std::string& programText = "")
    {
        const MemoryProfile user(userText);
        const MemoryProfile program(programText);
        return ReadFilterSettings({user, program, noPolicies}, faults);
    }

    RecordingFaultLog faults;
    const common::PolicyValues noPolicies;
};

TEST_F(FilterSettingsTest, WithoutTheSectionTheSmoothingIsFixed)
{
    const FilterSettings settings = Read("[Multitouch]\nTUIO=1\n", "[hardware]\nUSE_KEY=1\n");
    EXPECT_EQ(settings.mode, FilterMode::Fixed);
    EXPECT_EQ(FilterSettings{}.mode, FilterMode::Fixed);
    // The table's defaults, which the parameters also take as constructed.
    const OneEuroParameters constructed;
    for (const FilterNumberKey& number : kFilterNumberKeys) {
        EXPECT_EQ(settings.oneEuro.*number.field, common::DefaultNumber(*number.option)) << number.option->key;
        EXPECT_EQ(constructed.*number.field, common::DefaultNumber(*number.option)) << number.option->key;
    }
    EXPECT_EQ(constructed.beta, 0.06);
    EXPECT_TRUE(faults.lines.empty());
}

TEST_F(FilterSettingsTest, AdaptiveWithItsNumbersFromTheCopyThatHasTheSection)
{
    const FilterSettings fromUser =
        Read("[Filter]\nMODE = Adaptive \nMIN_CUTOFF=0.8\nBETA=0.02\nDERIVATIVE_CUTOFF=1.5\nSTILL_SPEED=60\n",
             "[Filter]\nMODE=fixed\n");
    EXPECT_EQ(fromUser.mode, FilterMode::Adaptive);
    EXPECT_DOUBLE_EQ(fromUser.oneEuro.minCutoffHz, 0.8);
    EXPECT_DOUBLE_EQ(fromUser.oneEuro.beta, 0.02);
    EXPECT_DOUBLE_EQ(fromUser.oneEuro.derivativeCutoffHz, 1.5);
    EXPECT_DOUBLE_EQ(fromUser.oneEuro.stillSpeed, 60);

    const FilterSettings fromProgramFolder = Read("[coordinate]\nwdot=3\n", "[Filter]\nMODE=adaptive\nBETA=0.1\n");
    EXPECT_EQ(fromProgramFolder.mode, FilterMode::Adaptive);
    EXPECT_DOUBLE_EQ(fromProgramFolder.oneEuro.beta, 0.1);
    EXPECT_DOUBLE_EQ(fromProgramFolder.oneEuro.minCutoffHz, OneEuroParameters{}.minCutoffHz);
    EXPECT_TRUE(faults.lines.empty());
}

TEST_F(FilterSettingsTest, ValuesOutsideTheirRangeOrNoNumbersFallBackWithALine)
{
    const FilterSettings settings =
        Read("[Filter]\nMODE=smooth\nMIN_CUTOFF=0\nBETA=2\nDERIVATIVE_CUTOFF=fast\nSTILL_SPEED=-5\n");
    EXPECT_EQ(settings.mode, FilterMode::Fixed);
    const OneEuroParameters defaults;
    EXPECT_EQ(settings.oneEuro.minCutoffHz, defaults.minCutoffHz);
    EXPECT_EQ(settings.oneEuro.beta, defaults.beta);
    EXPECT_EQ(settings.oneEuro.derivativeCutoffHz, defaults.derivativeCutoffHz);
    EXPECT_EQ(settings.oneEuro.stillSpeed, defaults.stillSpeed);
    ASSERT_EQ(faults.lines.size(), 5u);
    EXPECT_EQ(faults.lines[0], "[Filter] MODE=smooth is neither fixed nor adaptive; the fixed smoothing is used.");
    EXPECT_EQ(faults.lines[2], "[Filter] BETA=2 is not a number from 0 to 1; the default 0.06 is used.");
}

} // namespace
} // namespace driver
