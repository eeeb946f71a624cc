#include "calibration/CalibrationFlow.h"

#include "calibration/CalibrationInText.h"

#include <algorithm>
#include <cmath>

namespace calibration {
namespace {

// The farthest a measured point maps from its target through `model`.
double WorstMappingPx(const TargetLayout& layout, const MeasuredGrid& grid, const driver::CCalibration& model)
{
    double worst = 0;
    for (int t = 0; t < layout.Count() && t < static_cast<int>(grid.camera.size()); ++t) {
        Point p = grid.camera[static_cast<std::size_t>(t)];
        if (model.Upright() == 0) p = driver::TurnedUpsideDown(p);
        if (!model.MapPoint(p)) return INFINITY;
        const Point target = layout.ScreenPoint(t);
        worst = std::max(worst, std::hypot(p.x - target.x, p.y - target.y));
    }
    return worst;
}

bool IsEnd(FlowStage stage)
{
    return stage == FlowStage::Done || stage == FlowStage::Untrusted || stage == FlowStage::Cancelled ||
           stage == FlowStage::Failed;
}

} // namespace

const char* Name(FlowStage stage)
{
    switch (stage) {
    case FlowStage::Choice: return "Choice";
    case FlowStage::Camera: return "Camera";
    case FlowStage::Grid: return "Grid";
    case FlowStage::Saving: return "Saving";
    case FlowStage::BoardKeys: return "BoardKeys";
    case FlowStage::Check: return "Check";
    case FlowStage::Done: return "Done";
    case FlowStage::Untrusted: return "Untrusted";
    case FlowStage::Cancelled: return "Cancelled";
    case FlowStage::Failed: return "Failed";
    }
    return "?";
}

const char* Name(CancelCause cause)
{
    switch (cause) {
    case CancelCause::None: return "none";
    case CancelCause::Escape: return "Escape";
    case CancelCause::CloseAsked: return "the window's close";
    case CancelCause::CalibrationKey: return "board key 12";
    case CancelCause::DisplayChanged: return "a change of the display";
    case CancelCause::Idle: return "a minute without a touch";
    case CancelCause::DriverNotRunning: return "the driver not running";
    case CancelCause::PipeNotOffered: return "the driver offering no pipe";
    case CancelCause::PipeBroken: return "the driver ending the forwarding";
    case CancelCause::DriverGone: return "the driver ending";
    case CancelCause::RecordsStopped: return "the driver's records stopping";
    }
    return "?";
}

const char* Name(FlowFailure failure)
{
    switch (failure) {
    case FlowFailure::None: return "none";
    case FlowFailure::SettingsUnreadable: return "the settings file could not be read";
    case FlowFailure::NoCalibration: return "no calibration the driver can use";
    case FlowFailure::NotSound: return "no sound grid";
    case FlowFailure::WriteFailed: return "the settings file could not be written";
    case FlowFailure::CameraBlind: return "the camera measurement failed";
    case FlowFailure::CameraNotSound: return "the camera's points make no sound grid";
    }
    return "?";
}

bool LeavesAtOnce(CancelCause cause)
{
    return cause == CancelCause::Escape || cause == CancelCause::CloseAsked || cause == CancelCause::CalibrationKey;
}

CalibrationFlow::CalibrationFlow(const ProgramOptions& options, ScreenSize board, FileAccess& files,
                                 std::string settingsPath, std::uint32_t nowMs, bool cameraOffered)
    : options_(options),
      board_(board),
      files_(files),
      path_(std::move(settingsPath)),
      cameraOffered_(cameraOffered && !options.touchOnly && !options.checkOnly),
      layout_(options.grid, board)
{
    std::string text;
    if (!ReadSettings(text, nowMs)) return;
    if (!options_.checkOnly) {
        teachKeys_ = options_.teachKeys || UseKeyIn(text);
        if (cameraOffered_ && options_.automatic) {
            StartCamera(nowMs);
        } else if (cameraOffered_) {
            stage_ = FlowStage::Choice;
            stageMs_ = nowMs;
        } else {
            StartGrid(nowMs);
            if (options_.automatic && !options_.touchOnly)
                notice_ = {FlowNotice::Kind::CameraUnavailable, Refusal::None, {}};
        }
        return;
    }
    const CalibrationInText current = ReadCalibrationInText(text, board);
    if (!current.Usable()) {
        Fail(FlowFailure::NoCalibration, nowMs);
        return;
    }
    layout_ = TargetLayout(current.grid.grid, board);
    measured_ = current.grid;
    model_ = current.model;
    StartCheck(nowMs);
}

bool CalibrationFlow::TakesRecords() const
{
    return stage_ == FlowStage::Grid || stage_ == FlowStage::BoardKeys || stage_ == FlowStage::Check;
}

const TargetRun* CalibrationFlow::CurrentRun() const
{
    switch (stage_) {
    case FlowStage::Grid: return grid_ ? &grid_->Run() : nullptr;
    case FlowStage::BoardKeys: return keys_ ? &keys_->Run() : nullptr;
    case FlowStage::Check: return check_ ? &check_->Run() : nullptr;
    default: return nullptr;
    }
}

void CalibrationFlow::StartGrid(std::uint32_t nowMs)
{
    grid_.emplace(layout_, nowMs);
    stage_ = FlowStage::Grid;
}

void CalibrationFlow::StartCamera(std::uint32_t nowMs)
{
    automatic_ = true;
    camera_.emplace(layout_, nowMs);
    cameraMs_.reset();
    stage_ = FlowStage::Camera;
}

void CalibrationFlow::ChooseAutomatic(std::uint32_t nowMs)
{
    if (stage_ == FlowStage::Choice) StartCamera(nowMs);
}

void CalibrationFlow::ChooseTouch(std::uint32_t nowMs)
{
    if (stage_ == FlowStage::Choice) {
        StartGrid(nowMs);
        return;
    }
    if (stage_ != FlowStage::Untrusted) return;
    // A fresh run by touch: nothing of the automatic one is written or checked.
    automatic_ = false;
    check_.reset();
    keys_.reset();
    measured_ = {};
    model_.reset();
    worstTargetErrorPx_.reset();
    notice_ = {};
    StartGrid(nowMs);
}

void CalibrationFlow::CameraUnavailable(std::uint32_t nowMs)
{
    if (stage_ != FlowStage::Choice && stage_ != FlowStage::Camera) return;
    if (camera_) camera_->Cancel();
    automatic_ = false;
    StartGrid(nowMs);
    notice_ = {FlowNotice::Kind::CameraUnavailable, Refusal::None, {}};
}

void CalibrationFlow::OnCameraFrame(const CameraPicture& picture, std::uint32_t nowMs)
{
    if (stage_ != FlowStage::Camera) return;
    camera_->OnFrame(picture, nowMs);
    AfterCamera(nowMs);
}

void CalibrationFlow::OnPatternShown(unsigned patternNumber, std::uint32_t nowMs)
{
    if (stage_ == FlowStage::Camera) camera_->OnPatternShown(patternNumber, nowMs);
}

ShownPattern CalibrationFlow::CurrentPattern() const
{
    return stage_ == FlowStage::Camera ? camera_->Pattern() : ShownPattern{};
}

unsigned CalibrationFlow::PatternNumber() const
{
    return stage_ == FlowStage::Camera ? camera_->PatternNumber() : 0;
}

void CalibrationFlow::AfterCamera(std::uint32_t nowMs)
{
    switch (camera_->Current()) {
    case CameraMeasurement::State::Measuring:
    case CameraMeasurement::State::Cancelled: return;
    case CameraMeasurement::State::Failed:
        cameraMs_ = camera_->ElapsedMs();
        Fail(FlowFailure::CameraBlind, nowMs);
        return;
    case CameraMeasurement::State::Complete:
        cameraMs_ = camera_->ElapsedMs();
        measured_ = camera_->Result();
        break;
    }
    // The same plan as for touches; a target to touch again means nothing
    // here, the camera found what it found.
    std::string text;
    if (!ReadSettings(text, nowMs)) return;
    pending_ = PlanSettingsWrite(text, {measured_, std::nullopt}, board_);
    if (!pending_.Sound()) {
        Fail(FlowFailure::CameraNotSound, nowMs);
        return;
    }
    textBefore_ = text;
    savingKeys_ = false;
    stage_ = FlowStage::Saving;
}

FlowTarget CalibrationFlow::CurrentTarget() const
{
    FlowTarget target;
    const TargetRun* run = CurrentRun();
    if (!run || run->CurrentTarget() < 0) return target;
    target.index = run->CurrentTarget();
    target.number = target.index + 1;
    target.count = run->TargetCount();
    target.left = run->TargetCount() - run->TakenCount();
    if (stage_ == FlowStage::Grid) target.screen = layout_.ScreenPoint(target.index);
    if (stage_ == FlowStage::Check) target.screen = check_->ScreenPlace(target.index);
    return target;
}

TakeState CalibrationFlow::Touch() const
{
    const TargetRun* run = CurrentRun();
    return run ? run->Touch() : TakeState::AwaitingTouch;
}

TargetRun::Step CalibrationFlow::Feed(const PenSample& sample)
{
    switch (stage_) {
    case FlowStage::Grid: return grid_->OnSample(sample);
    case FlowStage::BoardKeys: return keys_->OnSample(sample);
    case FlowStage::Check: return check_->OnSample(sample);
    default: return {};
    }
}

void CalibrationFlow::OnSample(const PenSample& sample)
{
    Handle(Feed(sample), sample.timeMs);
}

void CalibrationFlow::OnTick(std::uint32_t nowMs)
{
    switch (stage_) {
    case FlowStage::Grid: Handle(grid_->OnTick(nowMs), nowMs); break;
    case FlowStage::BoardKeys: Handle(keys_->OnTick(nowMs), nowMs); break;
    case FlowStage::Check: Handle(check_->OnTick(nowMs), nowMs); break;
    case FlowStage::Choice:
        if (nowMs - stageMs_ >= TargetRun::kIdleCancelMs) Cancel(CancelCause::Idle, nowMs);
        break;
    case FlowStage::Camera:
        camera_->OnTick(nowMs);
        AfterCamera(nowMs);
        break;
    case FlowStage::Done:
    case FlowStage::Untrusted:
    case FlowStage::Cancelled:
    case FlowStage::Failed:
        if (nowMs - endedMs_ >= kShownMs) finished_ = true;
        break;
    case FlowStage::Saving: break;
    }
}

void CalibrationFlow::Handle(const TargetRun::Step& step, std::uint32_t nowMs)
{
    using Happening = TargetRun::Happening;
    switch (step.what) {
    case Happening::Nothing: break;
    case Happening::Pressed:
        // A retake's notice stays until its first target is taken: it says
        // which targets are coming.
        if (notice_.kind == FlowNotice::Kind::Refused || notice_.kind == FlowNotice::Kind::Undone) notice_ = {};
        break;
    case Happening::Taken: notice_ = {}; break;
    case Happening::Refused:
        // The one touch that confirms an automatic grid, far from where that
        // grid says it lands: the grid is wrong, not the touch.
        if (stage_ == FlowStage::Check && automatic_ && step.refusal == Refusal::FarFromTarget) {
            Untrust(check_->ErrorAtPx(step.target, check_->Run().LastTouch().camera), nowMs);
            break;
        }
        notice_ = {FlowNotice::Kind::Refused, step.refusal, {}};
        break;
    case Happening::Completed:
        notice_ = {};
        OnRunComplete(nowMs);
        break;
    case Happening::TimedOut: Cancel(CancelCause::Idle, nowMs); break;
    }
}

void CalibrationFlow::OnRunComplete(std::uint32_t nowMs)
{
    switch (stage_) {
    case FlowStage::Grid:
        measured_ = grid_->Result();
        PlanGrid(nowMs);
        break;
    case FlowStage::BoardKeys: PlanKeys(nowMs); break;
    case FlowStage::Check:
        if (automatic_ && !keysSaved_) {
            Confirmed(nowMs);
            break;
        }
        End(FlowStage::Done, nowMs);
        break;
    default: break;
    }
}

void CalibrationFlow::Confirmed(std::uint32_t nowMs)
{
    const double error = check_->WorstErrorPx();
    if (!(error <= AccuracyCheck::kRecalibrateAbovePx)) {
        Untrust(error, nowMs);
        return;
    }
    if (teachKeys_) {
        keys_.emplace(options_.keyCopy, nowMs);
        stage_ = FlowStage::BoardKeys;
        return;
    }
    End(FlowStage::Done, nowMs);
}

void CalibrationFlow::Untrust(double errorPx, std::uint32_t nowMs)
{
    untrustedErrorPx_ = errorPx;
    check_->Cancel();
    lastWrite_ = WriteWholeOrNothing(files_, path_, textBefore_);
    if (lastWrite_ != WriteOutcome::Written) {
        Fail(FlowFailure::WriteFailed, nowMs);
        return;
    }
    restored_ = true;
    gridSaved_ = false;
    notice_ = {};
    End(FlowStage::Untrusted, nowMs);
}

bool CalibrationFlow::ReadSettings(std::string& text, std::uint32_t nowMs)
{
    if (files_.ReadWhole(path_, text)) return true;
    Fail(FlowFailure::SettingsUnreadable, nowMs);
    return false;
}

void CalibrationFlow::PlanGrid(std::uint32_t nowMs)
{
    std::string text;
    if (!ReadSettings(text, nowMs)) return;
    pending_ = PlanSettingsWrite(text, {measured_, std::nullopt}, board_);
    if (pending_.Sound()) {
        textBefore_ = text;
        savingKeys_ = false;
        stage_ = FlowStage::Saving;
        return;
    }
    const std::vector<int> targets = pending_.RetakeTargets();
    if (targets.empty()) {
        Fail(FlowFailure::NotSound, nowMs);
        return;
    }
    grid_->Retake(targets, nowMs);
    notice_ = {FlowNotice::Kind::RetakeTargets, Refusal::None, targets};
}

void CalibrationFlow::PlanKeys(std::uint32_t nowMs)
{
    std::string text;
    if (!ReadSettings(text, nowMs)) return;
    pending_ = PlanSettingsWrite(text, {measured_, keys_->Result()}, board_);
    if (pending_.Sound()) {
        savingKeys_ = true;
        stage_ = FlowStage::Saving;
        return;
    }
    // The grid was sound when it was written; a grid finding now means the
    // file changed under the run, and no key touched again mends that.
    const std::vector<int> keys = pending_.RetakeKeys();
    if (keys.empty() || !pending_.RetakeTargets().empty()) {
        Fail(FlowFailure::NotSound, nowMs);
        return;
    }
    keys_->Retake(keys, nowMs);
    notice_ = {FlowNotice::Kind::RetakeKeys, Refusal::None, keys};
}

WriteOutcome CalibrationFlow::Save(std::uint32_t nowMs)
{
    if (stage_ != FlowStage::Saving) return WriteOutcome::NotSound;
    lastWrite_ = WriteSettings(files_, path_, pending_);
    if (lastWrite_ != WriteOutcome::Written) {
        Fail(FlowFailure::WriteFailed, nowMs);
        return lastWrite_;
    }
    model_ = pending_.model;
    if (savingKeys_) {
        keysSaved_ = true;
        // An automatic grid was confirmed before its keys were taught.
        if (automatic_)
            End(FlowStage::Done, nowMs);
        else
            StartCheck(nowMs);
        return lastWrite_;
    }
    gridSaved_ = true;
    worstTargetErrorPx_ = WorstMappingPx(layout_, measured_, *model_);
    if (automatic_) {
        // One touch says whether the camera's grid can be trusted, before
        // anything else is built on it.
        check_.emplace(layout_, measured_, model_, nowMs, 1);
        stage_ = FlowStage::Check;
    } else if (teachKeys_) {
        keys_.emplace(options_.keyCopy, nowMs);
        stage_ = FlowStage::BoardKeys;
    } else {
        StartCheck(nowMs);
    }
    return lastWrite_;
}

void CalibrationFlow::StartCheck(std::uint32_t nowMs)
{
    check_.emplace(layout_, measured_, model_, nowMs);
    stage_ = FlowStage::Check;
}

void CalibrationFlow::Undo(std::uint32_t nowMs)
{
    bool undone = false;
    switch (stage_) {
    case FlowStage::Grid: undone = grid_->Undo(nowMs); break;
    case FlowStage::BoardKeys: undone = keys_->Undo(nowMs); break;
    case FlowStage::Check: undone = check_->Undo(nowMs); break;
    default: break;
    }
    if (undone) notice_ = {FlowNotice::Kind::Undone, Refusal::None, {}};
}

void CalibrationFlow::Cancel(CancelCause cause, std::uint32_t nowMs)
{
    if (IsEnd(stage_)) {
        // On the last screen the teacher's way out closes it.
        if (LeavesAtOnce(cause)) finished_ = true;
        return;
    }
    // The driver closes the calibration window whenever a forwarded touch
    // lands on board key 12, and teaching that key means touching it.
    if (cause == CancelCause::CalibrationKey && stage_ == FlowStage::BoardKeys &&
        keys_->Run().CurrentTarget() == code::kCalibrationKey)
        return;
    if (grid_) grid_->Cancel();
    if (keys_) keys_->Cancel();
    if (check_) check_->Cancel();
    if (camera_) {
        camera_->Cancel();
        if (!cameraMs_) cameraMs_ = camera_->ElapsedMs();
    }
    cause_ = cause;
    cancelledIn_ = stage_;
    End(FlowStage::Cancelled, nowMs);
    if (LeavesAtOnce(cause)) finished_ = true;
}

void CalibrationFlow::Dismiss(std::uint32_t nowMs)
{
    if (IsEnd(stage_) && nowMs - endedMs_ >= kDismissGuardMs) finished_ = true;
}

void CalibrationFlow::Fail(FlowFailure failure, std::uint32_t nowMs)
{
    failure_ = failure;
    End(FlowStage::Failed, nowMs);
}

void CalibrationFlow::End(FlowStage stage, std::uint32_t nowMs)
{
    stage_ = stage;
    endedMs_ = nowMs;
}

std::vector<std::optional<double>> CalibrationFlow::CheckErrors() const
{
    std::vector<std::optional<double>> errors;
    if (!check_) return errors;
    for (int place = 0; place < check_->PlaceCount(); ++place) errors.push_back(check_->ErrorPx(place));
    return errors;
}

AccuracyCheck::Verdict CalibrationFlow::Verdict() const
{
    return check_ ? check_->Result() : AccuracyCheck::Verdict::Pending;
}

double CalibrationFlow::WorstCheckErrorPx() const
{
    return check_ ? check_->WorstErrorPx() : 0;
}

} // namespace calibration
