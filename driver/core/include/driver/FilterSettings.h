#pragma once
// Section [Filter] of WBInit.ini: how contacts are smoothed.
//
//   MODE=fixed              each move is 0.6 of the new point and 0.4 of the
//                           last, for the mouse and the touch socket; TUIO and
//                           touch injection get the points unsmoothed (the
//                           default, and what a missing or unknown MODE means)
//   MODE=adaptive           one adaptive chain per pointer and per tracked
//                           contact feeds every output (see PointFilter.h)
//   MIN_CUTOFF=x            Hz: the cut-off of a pen held still
//   BETA=x                  Hz per camera unit a second: how fast the
//                           cut-off rises with the pen's speed
//   DERIVATIVE_CUTOFF=x     Hz: the smoothing of the speed estimate
//   STILL_SPEED=x           camera units a second: a pen faster than this
//                           moves; it is still again below half of it
//
// The four numbers matter only in adaptive mode. Names, ranges and defaults
// are in the table of common/Options.h. Numbers are decimal text ("0.5"). A
// value that is not a number or lies outside its range is replaced by the
// default with a fault line, as is an unknown MODE.
//
// Like [Multitouch], a policy's value wins, and the section is read from the
// user's own copy of WBInit.ini only when that copy has it (any of its
// keys), and otherwise from the program folder's copy (see
// common/SectionInForce.h).
#include "common/OptionValue.h"
#include "common/Options.h"
#include "common/SectionInForce.h"
#include "driver/FaultLog.h"

#include <string_view>

namespace driver {

inline constexpr const char* kFilterSection = common::options::kFilterMode.section;

enum class FilterMode { Fixed, Adaptive };
// The words of the option's choices.
const char* Name(FilterMode mode);
// The mode a choice of the option names (Fixed for any other word).
FilterMode FilterModeNamed(std::string_view choice);

// The adaptive chain's parameters, all in camera units (3200 x 2400) and
// seconds; as constructed, the table's defaults (chosen on the traces of
// bench/FilterBench).
struct OneEuroParameters {
    double minCutoffHz = common::DefaultNumber(common::options::kFilterMinCutoff);
    double beta = common::DefaultNumber(common::options::kFilterBeta);
    double derivativeCutoffHz = common::DefaultNumber(common::options::kFilterDerivativeCutoff);
    double stillSpeed = common::DefaultNumber(common::options::kFilterStillSpeed);
};

// As constructed, the table's defaults.
struct FilterSettings {
    FilterMode mode = FilterModeNamed(common::options::kFilterMode.fallback);
    OneEuroParameters oneEuro;
};

// One number of the section: its option and where it goes.
struct FilterNumberKey {
    const common::Option* option;
    double OneEuroParameters::*field;
};

inline constexpr FilterNumberKey kFilterNumberKeys[] = {
    {&common::options::kFilterMinCutoff, &OneEuroParameters::minCutoffHz},
    {&common::options::kFilterBeta, &OneEuroParameters::beta},
    {&common::options::kFilterDerivativeCutoff, &OneEuroParameters::derivativeCutoffHz},
    {&common::options::kFilterStillSpeed, &OneEuroParameters::stillSpeed},
};

// The section as it is in force. Every replaced value goes to `faults`.
FilterSettings ReadFilterSettings(const common::SettingsSources& sources, FaultLog& faults);

} // namespace driver
