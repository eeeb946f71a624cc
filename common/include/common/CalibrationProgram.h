#pragma once
// Which calibration program board key 12 and the launcher's Calibrate button
// start, from the program folder: the camera software's Radozi.exe where it
// is installed, the suite's own Kalmeno.exe where it is not. [Calibration]
// OWN_PROGRAM=1 (options::kOwnCalibrationProgram, machine only) prefers the
// suite's program even beside the camera software's. A preferred program
// that is missing gives way to the other one: a teacher who touches the key
// gets a calibration whenever one of the two is there.
//
// The driver and the launcher choose through this one rule, so the key and
// the button never start different programs.
#include "common/SectionInForce.h"

namespace common {

enum class CalibrationProgram { Outside, Own, None };

struct CalibrationProgramSettings {
    bool preferOwn = false; // OWN_PROGRAM
};

// The section as it is in force: the policy's value, else the file's.
CalibrationProgramSettings ReadCalibrationProgramSettings(const SettingsSources& sources);

// `outsideThere` and `ownThere`: whether Radozi.exe and Kalmeno.exe are in
// the program folder now.
CalibrationProgram ChooseCalibrationProgram(const CalibrationProgramSettings& settings, bool outsideThere,
                                            bool ownThere);

// The program's file name; null for None.
const char* CalibrationProgramFile(CalibrationProgram program);

} // namespace common
