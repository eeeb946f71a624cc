#pragma once
// What a calibration would write, checked before anything is: the whole new
// settings text, made from the old one, and the driver's own model of it.
// A grid is written only when
//   (a) the driver's load of the new text (CCalibration::Load, through the
//       same profile reading as the file) finds it sound, and every measured
//       point maps onto its own target through that model;
//   (b) no point lies outside camera space and no cell is folded;
//   (c) no point strays from where its neighbours put it;
// and taught board keys only when the driver could hit every one of them.
// Otherwise the plan names the targets (or keys) to touch again and holds
// no text to write.
#include "calibration/BoardKeySpots.h"
#include "calibration/CalibrationSession.h"
#include "calibration/GridChecks.h"
#include "calibration/TargetLayout.h"
#include "calibration/WholeFileWriter.h"

#include "driver/Calibration.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calibration {

struct SettingsChange {
    MeasuredGrid grid;
    std::optional<TaughtKeys> keys;
};

struct WritePlan {
    std::vector<GridFinding> findings;
    // The whole new settings text; empty unless Sound().
    std::string newText;
    // The driver's model of newText, for the accuracy check; null unless Sound().
    std::shared_ptr<const driver::CCalibration> model;

    bool Sound() const { return findings.empty(); }
    // Grid targets to touch again, in target order.
    std::vector<int> RetakeTargets() const;
    // Board keys to touch again, in key order.
    std::vector<int> RetakeKeys() const;
};

// A measured point maps this close (pixels) to its own target.
inline constexpr double kMapsOntoTargetPx = 0.5;

// `screen`: the board's monitor, whose size the driver loads the grid for.
WritePlan PlanSettingsWrite(std::string_view oldText, const SettingsChange& change, ScreenSize screen);

// Writes a sound plan's text over the settings file at `path`, whole or not
// at all; an unsound plan writes nothing.
WriteOutcome WriteSettings(FileAccess& files, const std::string& path, const WritePlan& plan);

} // namespace calibration
