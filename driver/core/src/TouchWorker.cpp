#include "driver/TouchWorker.h"

#include "common/BoardCodes.h"
#include "common/Messages.h"
#include "driver/BoardKeys.h"

#include <cstdio>

namespace driver {
namespace {

constexpr unsigned kWindowClose = 0x0010;
constexpr unsigned kFrontPenTimerMs = 300;
constexpr unsigned kRearPenTimerMs = 500;
constexpr unsigned kCloseKeyPauseMs = 200;

} // namespace

TouchWorker::TouchWorker(const TouchWorkerDeps& deps)
    : TouchWorker(deps, MakeSmoothing(deps.filter))
{}

TouchWorker::TouchWorker(const TouchWorkerDeps& deps, const SmoothingFactory& smoothing)
    : desktop_(deps.desktop),
      hook_(deps.hook),
      state_(deps.state),
      calibration_(deps.calibration),
      pipe_(deps.pipe),
      faults_(deps.faults),
      gestures_(deps.desktop, deps.state, deps.boardKeys, deps.socket, smoothing),
      outputs_(deps.outputs),
      watch_(deps.watch),
      tracker_(smoothing)
{
    // The system's touch pointers carry the contacts instead of the mouse,
    // and the system makes its own double taps and press-and-hold.
    if (outputs_.touch) gestures_.SetMouseOutput(false);
}

TouchWorker::~TouchWorker() = default;

void TouchWorker::Begin()
{
    hookOn_ = outputs_.touch == nullptr;
    hook_.SetDoubleTapHelp(hookOn_);
    routing_ = CurrentRouting();
    lastTick_ = desktop_.TickCount();
}

void TouchWorker::End()
{
    const CalibrationSnapshot snapshot = calibration_ ? calibration_() : nullptr;
    const CalibrationModelView view(snapshot ? *snapshot : unloaded_);
    End(view);
}

void TouchWorker::End(const CalibrationView& calibration)
{
    NoteReleased(gestures_.ReleaseAll(calibration, recordClock_), "the driver is closing");
    PublishEndOfContacts(calibration);
}

void TouchWorker::Cycle(const TouchRecordBytes& record)
{
    // Holding the snapshot for the whole cycle keeps a model that a reload
    // replaces alive until this record is done with it.
    const CalibrationSnapshot snapshot = calibration_ ? calibration_() : nullptr;
    const CalibrationModelView view(snapshot ? *snapshot : unloaded_);
    Cycle(record, view);
}

void TouchWorker::Cycle(const TouchRecordBytes& record, const CalibrationView& calibration)
{
    SwitchHookByIdleness();
    ++state_.idleCount;
    ReleaseOnRoutingChange(calibration);
    if (routing_.forwarding) {
        penRunSince_.reset();
        AdvanceRecordClock(false);
        Forward(record, calibration);
    } else {
        ProcessLocally(record, calibration);
    }
    if (watch_) watch_->OnCycle(record, calibration, lastTick_, Route());
}

TouchWorker::Routing TouchWorker::CurrentRouting() const
{
    return Routing{state_.Forwarding(), state_.socketRouting, state_.routingChanges};
}

RecordRoute TouchWorker::Route() const
{
    if (routing_.forwarding) return RecordRoute::Forwarding;
    switch (routing_.socket) {
    case SocketRouting::PairSplit: return RecordRoute::PairSplit;
    case SocketRouting::HalfSplit: return RecordRoute::HalfSplit;
    case SocketRouting::Off: break;
    }
    return RecordRoute::Mouse;
}

// A contact that started under one routing is not continued under another:
// its release might never reach the side that pressed.
void TouchWorker::ReleaseOnRoutingChange(const CalibrationView& calibration)
{
    const Routing routing = CurrentRouting();
    if (routing == routing_) return;
    routing_ = routing;
    NoteReleased(gestures_.ReleaseAll(calibration, recordClock_), "where contacts go has changed");
    // Forwarding takes the contacts away from every output: a TUIO client
    // sees them leave the alive list.
    PublishEndOfContacts(calibration);
}

void TouchWorker::NoteReleased(const GestureMachines::Outcome& outcome, const char* why)
{
    if (outcome.mouseReleased) faults_.NoteF("Released the left mouse button of a contact in progress: %s.", why);
    if (outcome.socketReleased) {
        faults_.NoteF("Ended a touch-socket contact in progress with a release packet: %s.", why);
    }
}

std::uint32_t TouchWorker::AdvanceRecordClock(bool reachesGestures)
{
    const std::uint32_t now = desktop_.TickCount();
    wallElapsed_ = now - lastTick_;
    recordElapsed_ = reachesGestures ? wallElapsed_ : 0;
    recordClock_ += recordElapsed_;
    lastTick_ = now;
    return recordClock_;
}

void TouchWorker::PublishContacts(const TouchRecord& decoded, const CalibrationView& calibration,
                                  const GestureMachines::Outcome& outcome)
{
    if (!outputs_.Any()) return;
    const ContactSnapshot& snapshot = tracker_.Update(decoded, recordElapsed_, calibration,
                                                      static_cast<ContactTracker::SlotMask>(outcome.keyTookSlots));
    mouseSlots_ = static_cast<ContactTracker::SlotMask>(outcome.mouseSlots);
    if (outputs_.tuio) outputs_.tuio->Publish(snapshot);
    if (outputs_.touch)
        outputs_.touch->Publish(snapshot, calibration.Screen(), recordElapsed_, mouseSlots_,
                                calibration.Board().Origin());
}

// A pen button's records reach no machine, but the system drops a touch
// contact that hears nothing for a while: the held contacts are repeated.
void TouchWorker::PublishHeldContacts(const CalibrationView& calibration, std::uint32_t wallElapsed)
{
    if (outputs_.touch)
        outputs_.touch->Publish(tracker_.Hold(), calibration.Screen(), wallElapsed, mouseSlots_,
                                calibration.Board().Origin());
}

void TouchWorker::PublishEndOfContacts(const CalibrationView& calibration)
{
    if (!outputs_.Any()) return;
    const ContactSnapshot& snapshot = tracker_.EndAll();
    if (outputs_.tuio) outputs_.tuio->Publish(snapshot);
    if (outputs_.touch)
        outputs_.touch->Publish(snapshot, calibration.Screen(), 0, mouseSlots_, calibration.Board().Origin());
}

// Double-tap help stays off while the board is idle; the library takes the
// repeated "off" calls in its stride.
void TouchWorker::SwitchHookByIdleness()
{
    if (outputs_.touch) return;
    if (state_.idleCount > DriverState::kIdleCycles) {
        hook_.SetDoubleTapHelp(false);
        hookOn_ = false;
    } else if (!hookOn_) {
        hookOn_ = true;
        hook_.SetDoubleTapHelp(true);
    }
}

bool TouchWorker::PenRunBeyondCap(bool penRecord)
{
    if (!penRecord) {
        penRunSince_.reset();
        return false;
    }
    const std::uint32_t now = desktop_.TickCount();
    if (!penRunSince_) penRunSince_ = now;
    return now - *penRunSince_ > kPenHoldCapMs;
}

void TouchWorker::ProcessLocally(const TouchRecordBytes& record, const CalibrationView& calibration)
{
    const auto event = static_cast<RecordEvent>(record[0]);
    const bool penRecord = event == RecordEvent::FrontPenButton || event == RecordEvent::RearPenButton;
    if (PenRunBeyondCap(penRecord)) {
        // Held longer than any hand holds a pen button: a camera service
        // repeats the code. The record counts as one without samples, so the
        // records' clock runs again and a contact whose samples stopped is
        // released.
        ProcessContacts(TouchRecord(), calibration);
        return;
    }
    switch (event) {
    case RecordEvent::FrontPenButton:
        AdvanceRecordClock(false);
        PublishHeldContacts(calibration, wallElapsed_);
        CountPenButton(true);
        return;
    case RecordEvent::RearPenButton:
        AdvanceRecordClock(false);
        PublishHeldContacts(calibration, wallElapsed_);
        hook_.RearPenButtonSeen();
        CountPenButton(false);
        return;
    case RecordEvent::CameraKind1: ReportCameraKind(1); break;
    case RecordEvent::CameraKind2: ReportCameraKind(2); break;
    }
    ProcessContacts(DecodeTouchRecord(record, calibration.Upright()), calibration);
}

void TouchWorker::ProcessContacts(const TouchRecord& decoded, const CalibrationView& calibration)
{
    const std::uint32_t now = AdvanceRecordClock(true);
    const GestureMachines::Outcome outcome = gestures_.Process(decoded, calibration, now);
    PublishContacts(decoded, calibration, outcome);
    if (outcome.AnyReleased()) {
        char why[96];
        std::snprintf(why, sizeof why, "its contact sent no samples for %u ms (did the camera service stop?)",
                      static_cast<unsigned>(kSilenceMs));
        NoteReleased(outcome, why);
    }
}

// A pen button held down repeats its code in every record; only the first
// one until the next release counts.
void TouchWorker::CountPenButton(bool front)
{
    state_.idleCount = 0;
    if (!state_.actionArmed) return;
    state_.savedCursor.Store(desktop_.CursorPosition());
    state_.actionArmed = false;
    std::atomic<int>& presses = front ? state_.frontPenPresses : state_.rearPenPresses;
    // Counting and testing for the first press in one step: the window
    // thread's tick may take the count between a separate test and add,
    // and the press would then wait for a timer nobody started.
    if (presses.fetch_add(1) == 0) {
        desktop_.StartDriverTimer(kTimerPenAndBoardKeys, front ? kFrontPenTimerMs : kRearPenTimerMs);
    }
}

void TouchWorker::ReportCameraKind(int kind)
{
    state_.idleCount = 0;
    state_.cameraKind = kind;
    if (state_.connectNoticeSent) return;
    const WindowRef drawingApp = desktop_.FindWindowByClass(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
    desktop_.PostToWindow(drawingApp, msg::kBoardEvent, kind == 2 ? code::kCameraKind2Notice : code::kCameraKind1Notice,
                          code::kCameraConnected);
    state_.connectNoticeSent = true;
}

bool TouchWorker::HitsCalibrationKey(const Point& cameraPoint, const CalibrationView& calibration) const
{
    Point onScreen = cameraPoint;
    calibration.MapPoint(onScreen);
    return HitsKeyPlace(onScreen, calibration, code::kCalibrationKey) ||
           HitsKeyPlace(onScreen, calibration, code::kCalibrationKey + code::kKeyCopyOffset);
}

// While another program takes the raw feed, the calibration key on the board
// still closes the calibration dialog, once per contact.
void TouchWorker::Forward(const TouchRecordBytes& record, const CalibrationView& calibration)
{
    if (!state_.forwardPlain) {
        const TouchRecord decoded = DecodeTouchRecord(record, calibration.Upright());
        for (int s = 0; s < 2; ++s) {
            const PointSlot& slot = decoded.slots[static_cast<std::size_t>(s)];
            if (slot.status == static_cast<std::uint8_t>(SlotStatus::Contact)) {
                if (HitsCalibrationKey(slot.point, calibration) && state_.actionArmed) {
                    state_.actionArmed = false;
                    desktop_.PostToWindow(desktop_.FindWindowByClass(wnd::kCalibrationDialogClass, nullptr),
                                          kWindowClose, 1, 1);
                    desktop_.SleepMs(kCloseKeyPauseMs);
                }
            } else if (slot.status == static_cast<std::uint8_t>(SlotStatus::Release)) {
                state_.actionArmed = true;
            }
        }
    }
    pipe_.Write(record, kTouchRecordSize);
}

} // namespace driver
