#pragma once
// Kalmeno's run from its first target to its last word, as one state
// machine that the window drives: it is fed the pen's samples, the clock,
// Backspace and the ways a run can stop, and it says which target to show,
// what to tell the teacher and when the settings file is written. The
// window does only what needs the system: the records' forwarding, the
// drawing, and telling the driver after each write.
//
//   Grid      --last target taken, plan sound-------------> Saving (the grid)
//   Grid      --last target taken, plan names targets-----> Grid (those again, a notice naming them)
//   Grid      --last target taken, plan names none--------> Failed (NotSound)
//   Saving    --Save: written, board keys to teach--------> BoardKeys
//   Saving    --Save: written-----------------------------> Check
//   Saving    --Save: not written-------------------------> Failed (WriteFailed)
//   BoardKeys --last key taken, plan sound----------------> Saving (the keys)
//   BoardKeys --last key taken, plan names keys-----------> BoardKeys (those again, a notice)
//   BoardKeys --last key taken, plan names none-----------> Failed (NotSound)
//   Check     --last place taken--------------------------> Done (Good or Recalibrate)
//   Grid, Saving, BoardKeys, Check --Cancel, idle a minute-> Cancelled
//   Done, Cancelled, Failed --Dismiss, kShownMs-----------> Finished()
//
// Check only: the run starts in Check with the calibration the file holds
// now, or in Failed (NoCalibration) when it holds none the driver can use.
//
// Nothing is written but by Save, and Save writes only in Saving: a run
// cancelled before it writes nothing, one cancelled after it keeps what was
// written. Every read of the settings file is fresh, so that whatever the
// driver or another program wrote meanwhile is kept.
#include "calibration/AccuracyCheck.h"
#include "calibration/BoardKeySpots.h"
#include "calibration/CalibrationSession.h"
#include "calibration/ProgramOptions.h"
#include "calibration/TargetLayout.h"
#include "calibration/WholeFileWriter.h"
#include "calibration/WritePlan.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace calibration {

enum class FlowStage { Grid, Saving, BoardKeys, Check, Done, Cancelled, Failed };

// Why a run was cancelled.
enum class CancelCause {
    None,
    Escape,           // the teacher at the keyboard
    CloseAsked,       // the window's close (Alt+F4)
    CalibrationKey,   // the driver's close on board key 12, the way out at the board
    DisplayChanged,   // the targets no longer lie where the camera was shown them
    Idle,             // no touch for TargetRun::kIdleCancelMs
    DriverNotRunning, // the records' forwarding could not start or broke off
    PipeNotOffered,
    PipeBroken,
    DriverGone,
    RecordsStopped,
};

// Why a run failed.
enum class FlowFailure {
    None,
    SettingsUnreadable, // the settings file could not be read
    NoCalibration,      // check only: the file holds no calibration the driver can use
    NotSound,           // the touches make no grid to write, and no target to touch again is named
    WriteFailed,        // the file could not be written (LastWrite says how)
};

// What the window tells the teacher besides the target.
struct FlowNotice {
    enum class Kind {
        None,
        Refused,       // the last touch did not count (refusal)
        RetakeTargets, // the grid's plan wants these targets touched again (items: target indices)
        RetakeKeys,    // the keys' plan wants these keys touched again (items: key numbers)
        Undone,        // Backspace took the last point back
    };
    Kind kind = Kind::None;
    Refusal refusal = Refusal::None;
    std::vector<int> items;
};

// The target to touch now.
struct FlowTarget {
    int index = -1; // target, key or check place; -1: none to touch
    int number = 0; // as shown, from 1
    int count = 0;  // of this stage's run
    int left = 0;   // still to touch, this one included
    // Where it is shown, in pixels of the board's monitor; none for a
    // printed board key.
    std::optional<Point> screen;
};

class CalibrationFlow {
public:
    // How long the last screen (result, cancel, failure) stays without a
    // key or a touch: long enough to walk back from the board and read it.
    static constexpr std::uint32_t kShownMs = 20000;
    // A key or touch this soon after the last screen came is taken for the
    // end of the touch before it, not for a wish to close.
    static constexpr std::uint32_t kDismissGuardMs = 1000;

    // `settingsPath` in `files` is the file the driver reads. `options`
    // comes from the command line; board keys are also taught where the
    // file has [hardware] USE_KEY on.
    CalibrationFlow(const ProgramOptions& options, ScreenSize board, FileAccess& files, std::string settingsPath,
                    std::uint32_t nowMs);

    void OnSample(const PenSample& sample);
    void OnTick(std::uint32_t nowMs);
    // Backspace: the last point taken in this stage is taken back.
    void Undo(std::uint32_t nowMs);
    void Cancel(CancelCause cause, std::uint32_t nowMs);
    // Saving only: writes the planned text whole or not at all.
    WriteOutcome Save(std::uint32_t nowMs);
    // A key or a touch on the last screen.
    void Dismiss(std::uint32_t nowMs);

    FlowStage Stage() const { return stage_; }
    // Grid, BoardKeys and Check take the board's records.
    bool TakesRecords() const;
    // The run is over and its last screen seen: the window may close.
    bool Finished() const { return finished_; }

    FlowTarget CurrentTarget() const;
    // The current target's touch (the pen resting, say); AwaitingTouch
    // outside a stage with targets.
    TakeState Touch() const;
    const FlowNotice& Notice() const { return notice_; }

    bool CheckOnly() const { return options_.checkOnly; }
    bool TeachesKeys() const { return teachKeys_; }
    int KeyCopy() const { return options_.keyCopy; }
    const TargetLayout& Layout() const { return layout_; }
    const std::string& SettingsPath() const { return path_; }
    // The grid measured (and, once saved, written) or, checking only, read.
    const MeasuredGrid& Grid() const { return measured_; }
    bool GridSaved() const { return gridSaved_; }
    bool KeysSaved() const { return keysSaved_; }
    // Saving: whether the board keys are being written (else the grid).
    bool SavingKeys() const { return savingKeys_; }
    CancelCause Cause() const { return cause_; }
    // The stage a cancelled run was in.
    FlowStage CancelledIn() const { return cancelledIn_; }
    FlowFailure Failure() const { return failure_; }
    WriteOutcome LastWrite() const { return lastWrite_; }

    // The farthest a measured target maps from its own place through the
    // driver's model of what was written, in pixels; none before a save.
    std::optional<double> WorstTargetErrorPx() const { return worstTargetErrorPx_; }
    // The check's error at each place, once taken.
    std::vector<std::optional<double>> CheckErrors() const;
    AccuracyCheck::Verdict Verdict() const;
    double WorstCheckErrorPx() const;

private:
    const TargetRun* CurrentRun() const;
    TargetRun::Step Feed(const PenSample& sample);
    void Handle(const TargetRun::Step& step, std::uint32_t nowMs);
    void OnRunComplete(std::uint32_t nowMs);
    void PlanGrid(std::uint32_t nowMs);
    void PlanKeys(std::uint32_t nowMs);
    void StartCheck(std::uint32_t nowMs);
    void Fail(FlowFailure failure, std::uint32_t nowMs);
    void End(FlowStage stage, std::uint32_t nowMs);
    bool ReadSettings(std::string& text, std::uint32_t nowMs);

    ProgramOptions options_;
    ScreenSize board_;
    FileAccess& files_;
    std::string path_;
    bool teachKeys_ = false;

    FlowStage stage_ = FlowStage::Grid;
    TargetLayout layout_;
    std::optional<CalibrationSession> grid_;
    std::optional<KeyTeaching> keys_;
    std::optional<AccuracyCheck> check_;

    MeasuredGrid measured_;
    std::shared_ptr<const driver::CCalibration> model_;
    WritePlan pending_;
    bool savingKeys_ = false;
    bool gridSaved_ = false;
    bool keysSaved_ = false;
    WriteOutcome lastWrite_ = WriteOutcome::NotSound;
    std::optional<double> worstTargetErrorPx_;

    FlowNotice notice_;
    CancelCause cause_ = CancelCause::None;
    FlowStage cancelledIn_ = FlowStage::Grid;
    FlowFailure failure_ = FlowFailure::None;
    std::uint32_t endedMs_ = 0;
    bool finished_ = false;
};

const char* Name(FlowStage stage);
const char* Name(CancelCause cause);
const char* Name(FlowFailure failure);

// The causes the teacher chose: the window closes at once, with nothing to read.
bool LeavesAtOnce(CancelCause cause);

} // namespace calibration
