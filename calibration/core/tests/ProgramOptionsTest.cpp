// Kalmeno's command line.
#include "calibration/ProgramOptions.h"

#include <gtest/gtest.h>

namespace {

using calibration::ParseProgramOptions;
using calibration::SplitArguments;

TEST(ProgramOptions, SwitchesAreReadInAnyCaseAndTheRestIsNamed)
{
    const calibration::ProgramOptions none = ParseProgramOptions({});
    EXPECT_FALSE(none.checkOnly);
    EXPECT_FALSE(none.teachKeys);
    EXPECT_EQ(none.grid, calibration::kDefaultGrid);

    const auto options = ParseProgramOptions(SplitArguments("/CHECK -keys:2  /grid:6x4 \"/odd one\" /grid:11x3"));
    EXPECT_TRUE(options.checkOnly);
    EXPECT_TRUE(options.teachKeys);
    EXPECT_EQ(options.keyCopy, 1);
    EXPECT_EQ(options.grid, (calibration::GridSize{6, 4}));
    EXPECT_EQ(options.unknown, (std::vector<std::string>{"/odd one", "/grid:11x3"})) << "a grid the file cannot hold";
    EXPECT_EQ(ParseProgramOptions({"/keys"}).keyCopy, 0);
    const auto automatic = ParseProgramOptions({"/Auto", "-TOUCH"});
    EXPECT_TRUE(automatic.automatic);
    EXPECT_TRUE(automatic.touchOnly);
    EXPECT_TRUE(automatic.unknown.empty());
}

} // namespace
