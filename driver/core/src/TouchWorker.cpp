#include "driver/TouchWorker.h"

#include "common/Messages.h"
#include "driver/GestureMachines.h"
#include "driver/PointerDispatcher.h"

#include <cmath>

namespace driver {
namespace {

constexpr unsigned kWindowClose = 0x0010;
constexpr int kCalibrationKey = 12;
constexpr int kKeyCopyOffset = CCalibration::kKeyPoints / 2;
constexpr unsigned kFrontPenTimerMs = 300;
constexpr unsigned kRearPenTimerMs = 500;
constexpr unsigned kCloseKeyPauseMs = 200;
constexpr std::intptr_t kCameraConnectedCode = 2321;

bool WithinTolerance(const Point& point, const Point& key, int tolerance) {
    return std::fabs(point.x - key.x) <= tolerance && std::fabs(point.y - key.y) <= tolerance;
}

} // namespace

TouchWorker::TouchWorker(const TouchWorkerParts& parts)
    : desktop_(parts.desktop),
      hook_(parts.hook),
      state_(parts.state),
      calibration_(parts.calibration),
      pipe_(parts.pipe),
      dispatcher_(std::make_unique<PointerDispatcher>(parts.desktop)),
      gestures_(std::make_unique<GestureMachines>(parts.desktop, parts.state, parts.boardKeys, parts.socket,
                                                  *dispatcher_)) {}

TouchWorker::~TouchWorker() = default;

void TouchWorker::Begin() {
    hookOn_ = true;
    hook_.ToHookMouseDBLCLK(1);
}

void TouchWorker::Cycle(const TouchRecordBytes& record) {
    // Holding the snapshot for the whole cycle keeps a model that a reload
    // replaces alive until this record is done with it.
    const CalibrationSnapshot snapshot = calibration_ ? calibration_() : nullptr;
    const CalibrationModelView view(snapshot ? *snapshot : unloaded_);
    Cycle(record, view);
}

void TouchWorker::Cycle(const TouchRecordBytes& record, const CalibrationView& calibration) {
    SwitchHookByIdleness();
    ++state_.idleCount;
    if (state_.forwardingActive == 0) {
        ProcessLocally(record, calibration);
    } else {
        Forward(record, calibration);
    }
}

// Double-click handling stays off while the board is idle; the library
// takes the repeated "off" calls in its stride.
void TouchWorker::SwitchHookByIdleness() {
    if (state_.idleCount > DriverState::kIdleCycles) {
        hook_.ToHookMouseDBLCLK(0);
        hookOn_ = false;
    } else if (!hookOn_) {
        hookOn_ = true;
        hook_.ToHookMouseDBLCLK(1);
    }
}

void TouchWorker::ProcessLocally(const TouchRecordBytes& record, const CalibrationView& calibration) {
    switch (static_cast<RecordEvent>(record[0])) {
    case RecordEvent::FrontPenButton:
        CountPenButton(true);
        return;
    case RecordEvent::RearPenButton:
        hook_.ToHadMouseDBLCLK();
        CountPenButton(false);
        return;
    case RecordEvent::CameraKind1:
        ReportCameraKind(1);
        break;
    case RecordEvent::CameraKind2:
        ReportCameraKind(2);
        break;
    }
    gestures_->Process(DecodeTouchRecord(record, calibration.Upright()), calibration);
}

// A pen button held down repeats its code in every record; only the first
// one until the next release counts.
void TouchWorker::CountPenButton(bool front) {
    state_.idleCount = 0;
    if (state_.actionArmed == 0) return;
    const ScreenPosition cursor = desktop_.CursorPosition();
    state_.savedCursorX = cursor.x;
    state_.savedCursorY = cursor.y;
    state_.actionArmed = 0;
    std::atomic<int>& presses = front ? state_.frontPenPresses : state_.rearPenPresses;
    if (presses == 0) {
        desktop_.StartDriverTimer(kTimerPenAndBoardKeys, front ? kFrontPenTimerMs : kRearPenTimerMs);
    }
    ++presses;
}

void TouchWorker::ReportCameraKind(int kind) {
    state_.idleCount = 0;
    state_.cameraKind = kind;
    if (state_.connectNoticeSent != 0) return;
    const WindowRef drawingApp = desktop_.FindWindowByClass(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
    desktop_.PostToWindow(drawingApp, msg::kBoardEvent, kind == 2 ? 10 : 0, kCameraConnectedCode);
    state_.connectNoticeSent = 1;
}

bool TouchWorker::HitsCalibrationKey(const Point& cameraPoint, const CalibrationView& calibration) const {
    Point onScreen = cameraPoint;
    calibration.MapPoint(onScreen);
    const int tolerance = calibration.KeyTolerance();
    return WithinTolerance(onScreen, calibration.KeyPoint(kCalibrationKey), tolerance) ||
           WithinTolerance(onScreen, calibration.KeyPoint(kCalibrationKey + kKeyCopyOffset), tolerance);
}

// While another program takes the raw feed, the calibration key on the board
// still closes the calibration dialog, once per contact.
void TouchWorker::Forward(const TouchRecordBytes& record, const CalibrationView& calibration) {
    if (state_.forwardPlain == 0) {
        const TouchRecord decoded = DecodeTouchRecord(record, calibration.Upright());
        for (int s = 0; s < 2; ++s) {
            const PointSlot& slot = decoded.slots[static_cast<std::size_t>(s)];
            if (slot.status == static_cast<std::uint8_t>(SlotStatus::Contact)) {
                if (HitsCalibrationKey(slot.point, calibration) && state_.actionArmed != 0) {
                    state_.actionArmed = 0;
                    desktop_.PostToWindow(desktop_.FindWindowByClass(wnd::kCalibrationDialogClass, nullptr),
                                          kWindowClose, 1, 1);
                    desktop_.SleepMs(kCloseKeyPauseMs);
                }
            } else if (slot.status == static_cast<std::uint8_t>(SlotStatus::Release)) {
                state_.actionArmed = 1;
            }
        }
    }
    pipe_.Write(record, kTouchRecordSize);
}

} // namespace driver
