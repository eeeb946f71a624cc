#pragma once
// What the calibration window says at each point of the run, in the
// teacher's words: the target's line, how to touch, why the last touch did
// not count, the check's errors and its verdict, why a run stopped and what
// that left in the settings file. The window only draws these lines.
#include "calibration/CalibrationFlow.h"
#include "calibration/KalmenoTexts.h"

#include <string>
#include <vector>

namespace calibration {

struct FlowScreen {
    std::string title;   // "Target 3 of 25", a board key's name, the verdict, why the run stopped
    std::string hint;    // how to touch this stage's targets
    std::string notice;  // the last touch refused, points to touch again, an undo
    std::vector<std::string> results; // the check's error at each place
    std::string outcome; // what the run left in the settings file
    std::string help;    // the keys while it runs; how to close at the end
    std::string file;    // which settings file is written
    std::string ownCopy; // for a user with a copy of their own: that it holds for them alone
};

// `perUserCopy`: the settings file is the user's own copy, not the one in
// the program folder that every administrator's run writes.
FlowScreen DescribeScreen(const CalibrationFlow& flow, const KalmenoTexts& texts, bool perUserCopy);

// The window's caption, which a screen reader speaks: the title, and the
// notice after it.
std::string CaptionOf(const FlowScreen& screen);

// A distance in pixels as shown and logged: one decimal, '.' in every locale.
std::string FormatPixels(double px);

} // namespace calibration
