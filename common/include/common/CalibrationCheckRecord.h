#pragma once
// The last accuracy check of the calibration, as the calibration program
// leaves it in the settings file beside the grid it checked:
//
//   [CalibrationCheck]
//   VERDICT=good            good or recalibrate
//   WORST_PX=3.4            the largest error of the five check places, in pixels
//   CHECKED=2026-12-09 10:15:00   local time
//
// The driver tells it in its answer to the board check, so that a support
// call hears whether the board's calibration was found good, and when. A
// calibration saved since is unchecked: the program empties VERDICT when it
// writes a grid, before its check of that grid.
#include "common/Profile.h"

#include <string>

namespace common {

inline constexpr const char* kCalibrationCheckSection = "CalibrationCheck";
inline constexpr const char* kCalibrationCheckVerdictKey = "VERDICT";
inline constexpr const char* kCalibrationCheckWorstKey = "WORST_PX";
inline constexpr const char* kCalibrationCheckTimeKey = "CHECKED";

struct CalibrationCheckRecord {
    std::string verdict; // "good", "recalibrate", or empty: never checked
    std::string worstPx; // as written, e.g. "3.4"
    std::string checkedAt;

    bool Present() const { return verdict == "good" || verdict == "recalibrate"; }
};

// A verdict other than the two known ones reads as no record at all.
inline CalibrationCheckRecord ReadCalibrationCheck(const Profile& settings)
{
    CalibrationCheckRecord record;
    record.verdict = settings.ReadString(kCalibrationCheckSection, kCalibrationCheckVerdictKey, "");
    if (!record.Present()) return {};
    record.worstPx = settings.ReadString(kCalibrationCheckSection, kCalibrationCheckWorstKey, "");
    record.checkedAt = settings.ReadString(kCalibrationCheckSection, kCalibrationCheckTimeKey, "");
    return record;
}

inline void WriteCalibrationCheck(Profile& settings, const CalibrationCheckRecord& record)
{
    settings.WriteString(kCalibrationCheckSection, kCalibrationCheckVerdictKey, record.verdict);
    settings.WriteString(kCalibrationCheckSection, kCalibrationCheckWorstKey, record.worstPx);
    settings.WriteString(kCalibrationCheckSection, kCalibrationCheckTimeKey, record.checkedAt);
}

} // namespace common
