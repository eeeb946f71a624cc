#include "calibration/FlowScreen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace calibration {
namespace {

const char* RefusalKey(Refusal refusal)
{
    switch (refusal) {
    case Refusal::TooShort: return texts::kTooShort;
    case Refusal::Moved: return texts::kMoved;
    case Refusal::OutsideCamera: return texts::kOutsideCamera;
    case Refusal::FarFromTarget: return texts::kFarFromTarget;
    case Refusal::OnEarlierSpot: return texts::kOnEarlierSpot;
    case Refusal::None: break;
    }
    return "";
}

const char* CauseKey(CancelCause cause)
{
    switch (cause) {
    case CancelCause::Idle: return texts::kIdle;
    case CancelCause::DisplayChanged: return texts::kDisplayChanged;
    case CancelCause::DriverNotRunning: return texts::kDriverNotRunning;
    case CancelCause::PipeNotOffered: return texts::kPipeNotOffered;
    case CancelCause::PipeBroken: return texts::kPipeBroken;
    case CancelCause::DriverGone: return texts::kDriverGone;
    case CancelCause::RecordsStopped: return texts::kRecordsStopped;
    case CancelCause::None:
    case CancelCause::Escape:
    case CancelCause::CloseAsked:
    case CancelCause::CalibrationKey: break;
    }
    return texts::kNothingChanged;
}

// "3, 7 and 12" would need each language's grammar: a list is plain enough.
std::string NumberList(const std::vector<int>& items)
{
    std::string list;
    for (int item : items) {
        if (!list.empty()) list += ", ";
        list += std::to_string(item + 1);
    }
    return list;
}

std::string KeyList(const std::vector<int>& keys, const KalmenoTexts& texts)
{
    std::string list;
    for (int key : keys) {
        if (!list.empty()) list += ", ";
        list += texts.Get(texts::KeyName(key));
    }
    return list;
}

std::string Notice(const FlowNotice& notice, const KalmenoTexts& texts)
{
    switch (notice.kind) {
    case FlowNotice::Kind::None: return {};
    case FlowNotice::Kind::Refused: return texts.Get(RefusalKey(notice.refusal));
    case FlowNotice::Kind::RetakeTargets: return texts.Fill(texts::kRetakeTargets, {NumberList(notice.items)});
    case FlowNotice::Kind::RetakeKeys: return texts.Fill(texts::kRetakeKeys, {KeyList(notice.items, texts)});
    case FlowNotice::Kind::Undone: return texts.Get(texts::kUndone);
    case FlowNotice::Kind::CameraUnavailable: return texts.Get(texts::kCameraUnavailable);
    }
    return {};
}

std::string Verdict(const CalibrationFlow& flow, const KalmenoTexts& texts)
{
    if (flow.Verdict() == AccuracyCheck::Verdict::Good) return texts.Get(texts::kGood);
    const double worst = flow.WorstCheckErrorPx();
    return texts.Fill(texts::kRecalibrate, {std::isfinite(worst) ? FormatPixels(worst) : std::string("?")});
}

std::vector<std::string> Results(const CalibrationFlow& flow, const KalmenoTexts& texts)
{
    std::vector<std::string> lines;
    const auto errors = flow.CheckErrors();
    for (std::size_t place = 0; place < errors.size(); ++place) {
        const std::string number = std::to_string(place + 1);
        if (!errors[place]) continue;
        lines.push_back(std::isfinite(*errors[place]) ? texts.Fill(texts::kResult, {number, FormatPixels(*errors[place])})
                                                      : texts.Fill(texts::kResultMissed, {number}));
    }
    return lines;
}

std::string CameraProblemText(const CalibrationFlow& flow, const KalmenoTexts& texts)
{
    switch (flow.CameraFailure()) {
    case CameraProblem::NoPictures: return texts.Get(texts::kCameraNoPictures);
    case CameraProblem::TooDark: return texts.Get(texts::kCameraTooDark);
    case CameraProblem::TooBright: return texts.Get(texts::kCameraTooBright);
    case CameraProblem::DoesNotFollow: return texts.Get(texts::kCameraDoesNotFollow);
    case CameraProblem::TargetNotFound:
        return texts.Fill(texts::kCameraTargetNotFound, {std::to_string(flow.CameraProblemTarget() + 1)});
    case CameraProblem::None: break;
    }
    return texts.Get(texts::kCameraDoesNotFollow);
}

// The camera's progress: the target being measured, counted from 1.
std::string CameraProgress(const CalibrationFlow& flow, const KalmenoTexts& texts)
{
    const CameraMeasurement* camera = flow.Measurement();
    const int count = camera ? camera->TargetCount() : 0;
    const int current = camera ? std::min(camera->TargetsDone() + 1, count) : 0;
    return texts.Fill(texts::kCameraProgress, {std::to_string(current), std::to_string(count)});
}

std::string Failure(const CalibrationFlow& flow, const KalmenoTexts& texts)
{
    switch (flow.Failure()) {
    case FlowFailure::SettingsUnreadable: return texts.Fill(texts::kUnreadable, {flow.SettingsPath()});
    case FlowFailure::NoCalibration: return texts.Fill(texts::kNoCalibration, {flow.SettingsPath()});
    case FlowFailure::NotSound: return texts.Get(texts::kNotSound);
    case FlowFailure::WriteFailed: return texts.Fill(texts::kWriteFailed, {flow.SettingsPath()});
    case FlowFailure::CameraBlind: return CameraProblemText(flow, texts);
    case FlowFailure::CameraNotSound: return texts.Get(texts::kCameraNotSound);
    case FlowFailure::None: break;
    }
    return {};
}

// What is in the settings file now, after a run that ended early.
std::string Left(const CalibrationFlow& flow, const KalmenoTexts& texts)
{
    return texts.Get(flow.GridSaved() ? texts::kGridKept : texts::kNothingChanged);
}

} // namespace

std::string FormatPixels(double px)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", px);
    std::string shown = text;
    // Whatever the C library's locale says, the file and the log read '.'.
    for (char& c : shown)
        if (c == ',') c = '.';
    return shown;
}

FlowScreen DescribeScreen(const CalibrationFlow& flow, const KalmenoTexts& texts, bool perUserCopy)
{
    FlowScreen screen;
    screen.file = texts.Fill(texts::kSettingsFile, {flow.SettingsPath()});
    if (perUserCopy) screen.ownCopy = texts.Get(texts::kOwnCopy);
    screen.notice = Notice(flow.Notice(), texts);
    const FlowTarget target = flow.CurrentTarget();
    const std::string number = std::to_string(target.number), count = std::to_string(target.count);
    switch (flow.Stage()) {
    case FlowStage::Choice:
        screen.title = texts.Get(texts::kChoice);
        screen.hint = texts.Get(texts::kChoiceHint);
        screen.help = texts.Get(texts::kStopHelp);
        break;
    case FlowStage::Camera:
        // Drawn dim at the board's edge: the camera is looking at the screen.
        screen.title = CameraProgress(flow, texts);
        break;
    case FlowStage::Grid:
        screen.title = texts.Fill(texts::kTarget, {number, count});
        screen.hint = texts.Get(texts::kGridHint);
        screen.help = texts.Get(texts::kKeysHelp);
        break;
    case FlowStage::Saving: screen.title = texts.Get(texts::kSaving); break;
    case FlowStage::BoardKeys:
        screen.title = texts.Fill(texts::kKey, {number, count, texts.Get(texts::KeyName(target.index))});
        screen.hint = texts.Get(texts::kKeyHint);
        screen.help = texts.Get(texts::kKeysHelp);
        break;
    case FlowStage::Check:
        screen.title = texts.Fill(texts::kCheck, {number, count});
        screen.hint = texts.Get(flow.CheckOnly()   ? texts::kCheckOnlyHint
                                : flow.Automatic() ? texts::kConfirmHint
                                                   : texts::kCheckHint);
        screen.help = texts.Get(texts::kKeysHelp);
        break;
    case FlowStage::Done:
        screen.title = Verdict(flow, texts);
        screen.results = Results(flow, texts);
        if (flow.GridSaved()) screen.outcome = texts.Get(texts::kGridKept);
        screen.help = texts.Get(texts::kCloseHint);
        break;
    case FlowStage::Untrusted: {
        const double error = flow.UntrustedErrorPx().value_or(INFINITY);
        screen.title = texts.Fill(texts::kUntrusted, {std::isfinite(error) ? FormatPixels(error) : std::string("?")});
        screen.help = texts.Get(texts::kUntrustedHelp);
        break;
    }
    case FlowStage::Cancelled:
        screen.title = texts.Get(CauseKey(flow.Cause()));
        screen.outcome = Left(flow, texts);
        screen.help = texts.Get(texts::kCloseHint);
        break;
    case FlowStage::Failed:
        screen.title = Failure(flow, texts);
        screen.outcome = Left(flow, texts);
        screen.help = texts.Get(texts::kCloseHint);
        break;
    }
    return screen;
}

std::string CaptionOf(const FlowScreen& screen)
{
    return screen.notice.empty() ? screen.title : screen.title + " - " + screen.notice;
}

} // namespace calibration
