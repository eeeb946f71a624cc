#pragma once
// What Kalmeno.exe is asked to do by its command line. Switches start with
// '/' or '-' and are matched without regard to letter case:
//
//   /check        only check the calibration the settings file holds now
//   /keys         teach the board keys after the grid, also where
//                 [hardware] USE_KEY is off (printed copy 1: Rpt0..13)
//   /keys:2       the same for printed copy 2 (Rpt14..27)
//   /grid:CxR     a grid of C columns and R rows (2..10 each) instead of
//                 kDefaultGrid, for a lens that bends the picture strongly
//   /auto         calibrate automatically with the board camera at once,
//                 without offering the choice (by touch where no camera
//                 can be borrowed)
//   /touch        calibrate by touch, without offering the camera; it wins
//                 over /auto, and /check over both
//
// Anything else is kept in `unknown`, so the program can say so rather
// than do something else than asked.
#include "calibration/TargetLayout.h"

#include <string>
#include <vector>

namespace calibration {

struct ProgramOptions {
    bool checkOnly = false;
    bool teachKeys = false;
    int keyCopy = 0; // 0: Rpt0..13, 1: Rpt14..27
    GridSize grid = kDefaultGrid;
    bool automatic = false;
    bool touchOnly = false;
    std::vector<std::string> unknown;
};

// `arguments` without the program's own name, as the command line splits.
ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments);

// Splits a command line's arguments part at blanks; double quotes keep
// blanks within an argument.
std::vector<std::string> SplitArguments(const std::string& arguments);

} // namespace calibration
