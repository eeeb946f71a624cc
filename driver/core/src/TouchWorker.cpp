#include "driver/TouchWorker.h"

#include "common/Messages.h"
#include "driver/BoardKeys.h"
#include "driver/PointerDispatcher.h"

#include <cmath>
#include <cstdio>

namespace driver {
namespace {

constexpr unsigned kWindowClose = 0x0010;
constexpr int kCalibrationKey = 12;
constexpr int kKeyCopyOffset = kBoardKeyCount;
constexpr unsigned kFrontPenTimerMs = 300;
constexpr unsigned kRearPenTimerMs = 500;
constexpr unsigned kCloseKeyPauseMs = 200;
constexpr std::intptr_t kCameraConnectedCode = 2321;

} // namespace

TouchWorker::TouchWorker(const TouchWorkerParts& parts)
    : desktop_(parts.desktop),
      hook_(parts.hook),
      state_(parts.state),
      calibration_(parts.calibration),
      pipe_(parts.pipe),
      faults_(parts.faults),
      dispatcher_(std::make_unique<PointerDispatcher>(parts.desktop)),
      gestures_(std::make_unique<GestureMachines>(parts.desktop, parts.state, parts.boardKeys, parts.socket,
                                                  *dispatcher_)) {}

TouchWorker::~TouchWorker() = default;

void TouchWorker::Begin() {
    hookOn_ = true;
    hook_.ToHookMouseDBLCLK(1);
    routing_ = CurrentRouting();
    routingChanges_ = state_.routingChanges;
    lastGestureTick_ = desktop_.TickCount();
}

void TouchWorker::End() {
    const CalibrationSnapshot snapshot = calibration_ ? calibration_() : nullptr;
    const CalibrationModelView view(snapshot ? *snapshot : unloaded_);
    End(view);
}

void TouchWorker::End(const CalibrationView& calibration) {
    NoteReleased(gestures_->ReleaseAll(calibration), "the driver is closing");
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
    ReleaseOnRoutingChange(calibration);
    if (routing_ != Routing::Forwarding) {
        ProcessLocally(record, calibration);
    } else {
        GestureTime(false);
        Forward(record, calibration);
    }
}

TouchWorker::Routing TouchWorker::CurrentRouting() const {
    if (state_.forwardingActive != 0) return Routing::Forwarding;
    if (state_.socketMode == 0) return Routing::Mouse;
    return state_.socketVariant == 1 ? Routing::HalfSplit : Routing::PairSplit;
}

// A contact that started under one routing is not continued under another:
// its release might never reach the side that pressed.
void TouchWorker::ReleaseOnRoutingChange(const CalibrationView& calibration) {
    const Routing routing = CurrentRouting();
    const unsigned changes = state_.routingChanges;
    if (routing == routing_ && changes == routingChanges_) return;
    routing_ = routing;
    routingChanges_ = changes;
    NoteReleased(gestures_->ReleaseAll(calibration), "where contacts go has changed");
}

void TouchWorker::NoteReleased(GestureMachines::Released released, const char* why) {
    if (released.mouse) faults_.NoteF("Released the left mouse button of a contact in progress: %s.", why);
    if (released.socket) faults_.NoteF("Ended a touch-socket contact in progress with a release packet: %s.", why);
}

std::uint32_t TouchWorker::GestureTime(bool reachesGestures) {
    const std::uint32_t now = desktop_.TickCount();
    const std::uint32_t elapsed = now - lastGestureTick_;
    lastGestureTick_ = now;
    return reachesGestures ? elapsed : 0;
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
        GestureTime(false);
        CountPenButton(true);
        return;
    case RecordEvent::RearPenButton:
        GestureTime(false);
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
    const std::uint32_t elapsed = GestureTime(true);
    const GestureMachines::Released released =
        gestures_->Process(DecodeTouchRecord(record, calibration.Upright()), calibration, elapsed);
    if (released.Any()) {
        char why[96];
        std::snprintf(why, sizeof why, "its contact sent no samples for %u ms (did the camera service stop?)",
                      static_cast<unsigned>(GestureMachines::kSilenceMs));
        NoteReleased(released, why);
    }
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
    // Counting and testing for the first press in one step: the window
    // thread's tick may take the count between a separate test and add,
    // and the press would then wait for a timer nobody started.
    if (presses.fetch_add(1) == 0) {
        desktop_.StartDriverTimer(kTimerPenAndBoardKeys, front ? kFrontPenTimerMs : kRearPenTimerMs);
    }
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
    return HitsKeyPlace(onScreen, calibration, kCalibrationKey) ||
           HitsKeyPlace(onScreen, calibration, kCalibrationKey + kKeyCopyOffset);
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
