// Which calibration program the calibration key and the launcher start.
#include "common/CalibrationProgram.h"
#include "common/Messages.h"
#include "common/TextProfile.h"

#include <gtest/gtest.h>

#include <string>

namespace common {
namespace {

std::string Chosen(bool preferOwn, bool outsideThere, bool ownThere)
{
    const char* file = CalibrationProgramFile(ChooseCalibrationProgram({preferOwn}, outsideThere, ownThere));
    return file ? file : "nothing";
}

TEST(CalibrationProgram, TheCameraSoftwaresProgramUnlessItIsMissingOrTheSuitesIsPreferred)
{
    // Today's installs: the camera software's program whether or not the
    // suite's lies beside it.
    EXPECT_EQ(Chosen(false, true, false), wnd::kCalibrationProgram);
    EXPECT_EQ(Chosen(false, true, true), wnd::kCalibrationProgram);
    // Without it, the suite's.
    EXPECT_EQ(Chosen(false, false, true), wnd::kOwnCalibrationProgram);
    // Preferred, the suite's even beside the camera software's; a preferred
    // program that is missing gives way.
    EXPECT_EQ(Chosen(true, true, true), wnd::kOwnCalibrationProgram);
    EXPECT_EQ(Chosen(true, true, false), wnd::kCalibrationProgram);
    EXPECT_EQ(Chosen(true, false, true), wnd::kOwnCalibrationProgram);
    // Neither there: nothing to start, whatever is preferred.
    EXPECT_EQ(Chosen(false, false, false), "nothing");
    EXPECT_EQ(Chosen(true, false, false), "nothing");
}

TEST(CalibrationProgram, OffByDefaultOnFromTheFileAndAPolicyWinsOverIt)
{
    const TextProfile empty("");
    const TextProfile on("[Calibration]\nOWN_PROGRAM=1\n");
    const PolicyValues none;
    EXPECT_FALSE(ReadCalibrationProgramSettings({empty, empty, none}).preferOwn);
    EXPECT_TRUE(ReadCalibrationProgramSettings({on, on, none}).preferOwn);
    // A user's copy without the section takes the program folder's.
    EXPECT_TRUE(ReadCalibrationProgramSettings({empty, on, none}).preferOwn);

    PolicyValues off;
    off.Set(options::kOwnCalibrationProgram, "0");
    EXPECT_FALSE(ReadCalibrationProgramSettings({on, on, off}).preferOwn);
    PolicyValues policyOn;
    policyOn.Set(options::kOwnCalibrationProgram, "1");
    EXPECT_TRUE(ReadCalibrationProgramSettings({empty, empty, policyOn}).preferOwn);
}

} // namespace
} // namespace common
