#pragma once
// Kalmeno's run from its first target to its last word, as one state
// machine that the window drives: it is fed the pen's samples, the camera's
// frames, the clock, the teacher's keys and the ways a run can stop, and it
// says which target or pattern to show, what to tell the teacher and when
// the settings file is written. The window does only what needs the system:
// the records' forwarding, the camera, the drawing, and telling the driver
// after each write. The camera is the window's exactly while Stage() is
// Camera.
//
//   Choice    --ChooseAutomatic-----------------------------> Camera
//   Choice    --ChooseTouch---------------------------------> Grid
//   Camera    --measured, plan sound------------------------> Saving (the grid, automatic)
//   Camera    --measured, plan not sound--------------------> Failed (CameraNotSound)
//   Camera    --measurement failed--------------------------> Failed (CameraBlind, CameraFailure())
//   Choice, Camera --CameraUnavailable----------------------> Grid (a notice: by touch instead)
//   Grid      --last target taken, plan sound-------------> Saving (the grid)
//   Grid      --last target taken, plan names targets-----> Grid (those again, a notice naming them)
//   Grid      --last target taken, plan names none--------> Failed (NotSound)
//   Saving    --Save: written, board keys to teach--------> BoardKeys
//   Saving    --Save: written-----------------------------> Check
//   Saving    --Save: written, automatic------------------> Check (one place, to confirm)
//   Saving    --Save: not written-------------------------> Failed (WriteFailed)
//   BoardKeys --last key taken, plan sound----------------> Saving (the keys)
//   BoardKeys --last key taken, plan names keys-----------> BoardKeys (those again, a notice)
//   BoardKeys --last key taken, plan names none-----------> Failed (NotSound)
//   Check     --last place taken--------------------------> Done (Good or Recalibrate)
//   Check     --confirmed, board keys to teach------------> BoardKeys (their Save then ends in Done)
//   Check     --confirmed---------------------------------> Done (Good)
//   Check     --confirm touch far, or off by more than
//               kRecalibrateAbovePx: the text read before
//               the Save written back whole---------------> Untrusted
//   Check     --confirm touch far, write-back failed------> Failed (WriteFailed)
//   Untrusted --ChooseTouch-------------------------------> Grid (a fresh touch run)
//   Choice, Camera, Grid, Saving, BoardKeys, Check
//             --Cancel, idle a minute---------------------> Cancelled
//   Done, Untrusted, Cancelled, Failed --Dismiss, kShownMs-> Finished()
//
// Choice comes first when the window can borrow a camera, unless the
// command line chose (/auto: Camera; /touch: Grid). An automatic grid is
// written only as a touched one is (the same plan), and trusted only once
// one touch lands where it says: else the file is back byte for byte.
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
#include "calibration/CameraMeasurement.h"
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

enum class FlowStage { Choice, Camera, Grid, Saving, BoardKeys, Check, Done, Untrusted, Cancelled, Failed };

// Why a run was cancelled.
enum class CancelCause {
    None,
    Escape,           // the teacher at the keyboard
    CloseAsked,       // the window's close (Alt+F4)
    CalibrationKey,   // the driver's close on board key 12, the way out at the board
    DisplayChanged,   // the targets no longer lie where the camera was shown them
    Idle,             // no touch (or no choice) for TargetRun::kIdleCancelMs
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
    CameraBlind,        // the camera measurement failed (CameraFailure says why)
    CameraNotSound,     // the camera's points make no grid to write
};

// What the window tells the teacher besides the target.
struct FlowNotice {
    enum class Kind {
        None,
        Refused,           // the last touch did not count (refusal)
        RetakeTargets,     // the grid's plan wants these targets touched again (items: target indices)
        RetakeKeys,        // the keys' plan wants these keys touched again (items: key numbers)
        Undone,            // Backspace took the last point back
        CameraUnavailable, // the camera could not be borrowed: touch calibration instead
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
    // file has [hardware] USE_KEY on. `cameraOffered`: the window can borrow
    // the board camera for an automatic calibration.
    CalibrationFlow(const ProgramOptions& options, ScreenSize board, FileAccess& files, std::string settingsPath,
                    std::uint32_t nowMs, bool cameraOffered = false);

    void OnSample(const PenSample& sample);
    void OnTick(std::uint32_t nowMs);
    // Backspace: the last point taken in this stage is taken back.
    void Undo(std::uint32_t nowMs);
    void Cancel(CancelCause cause, std::uint32_t nowMs);
    // Saving only: writes the planned text whole or not at all.
    WriteOutcome Save(std::uint32_t nowMs);
    // A key or a touch on the last screen.
    void Dismiss(std::uint32_t nowMs);

    // Choice: the teacher's pick (Enter, T). ChooseTouch also in Untrusted.
    void ChooseAutomatic(std::uint32_t nowMs);
    void ChooseTouch(std::uint32_t nowMs);
    // Choice or Camera: the camera could not be borrowed or set up.
    void CameraUnavailable(std::uint32_t nowMs);
    // Camera: each new frame once, and the window's paint of a pattern.
    void OnCameraFrame(const CameraPicture& picture, std::uint32_t nowMs);
    void OnPatternShown(unsigned patternNumber, std::uint32_t nowMs);
    // Camera: what to show; Dark and 0 outside it.
    ShownPattern CurrentPattern() const;
    unsigned PatternNumber() const;

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
    bool CameraOffered() const { return cameraOffered_; }
    // The grid of this run came (or comes) from the camera.
    bool Automatic() const { return automatic_; }
    // The camera measurement, once there was one (kept after it ended).
    const CameraMeasurement* Measurement() const { return camera_ ? &*camera_ : nullptr; }
    // How long the camera measured, once it ended; none without one.
    std::optional<std::uint32_t> CameraMeasuredMs() const { return cameraMs_; }
    CameraProblem CameraFailure() const { return camera_ ? camera_->Problem() : CameraProblem::None; }
    int CameraProblemTarget() const { return camera_ ? camera_->ProblemTarget() : -1; }
    // Untrusted: how far the confirming touch landed from its place (pixels;
    // infinite off the screen), and whether the file is back as it was.
    std::optional<double> UntrustedErrorPx() const { return untrustedErrorPx_; }
    bool Restored() const { return restored_; }
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
    void StartGrid(std::uint32_t nowMs);
    void StartCamera(std::uint32_t nowMs);
    void AfterCamera(std::uint32_t nowMs);
    void Confirmed(std::uint32_t nowMs);
    void Untrust(double errorPx, std::uint32_t nowMs);
    void End(FlowStage stage, std::uint32_t nowMs);
    bool ReadSettings(std::string& text, std::uint32_t nowMs);

    ProgramOptions options_;
    ScreenSize board_;
    FileAccess& files_;
    std::string path_;
    bool teachKeys_ = false;
    bool cameraOffered_ = false;
    bool automatic_ = false;

    FlowStage stage_ = FlowStage::Grid;
    std::uint32_t stageMs_ = 0; // Choice: when it was offered
    TargetLayout layout_;
    std::optional<CalibrationSession> grid_;
    std::optional<KeyTeaching> keys_;
    std::optional<AccuracyCheck> check_;
    std::optional<CameraMeasurement> camera_;
    std::optional<std::uint32_t> cameraMs_;

    MeasuredGrid measured_;
    std::shared_ptr<const driver::CCalibration> model_;
    WritePlan pending_;
    std::string textBefore_; // what the pending plan was made from
    std::optional<double> untrustedErrorPx_;
    bool restored_ = false;
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
