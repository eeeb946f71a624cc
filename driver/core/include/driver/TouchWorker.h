#pragma once
// The touch worker's behaviour for one polled record: idle counting and the
// hook's double-tap help, pen-button counting, camera kind reports, raw
// forwarding with the calibration-key check, and hand-over to the gesture
// machines. The thread itself, its 2 ms wait and the shared-block read
// belong to the platform layer:
//
//     worker.Begin();
//     read one record and ignore it;
//     while (!stop) { wait for the next cycle; read a record (a failed read
//                     is all zero); worker.Cycle(record); }
//     worker.End();
#include "driver/BoardKeyTest.h"
#include "driver/ByteChannel.h"
#include "driver/ContactTracker.h"
#include "driver/MultitouchOutputs.h"
#include "driver/Calibration.h"
#include "driver/CalibrationView.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/FaultLog.h"
#include "driver/FilterSettings.h"
#include "driver/GestureMachines.h"
#include "driver/HookControl.h"
#include "driver/SmoothingFactory.h"
#include "driver/TouchRecord.h"
#include "driver/WorkerWatch.h"

#include <functional>
#include <memory>
#include <optional>

namespace driver {

// The calibration model in force; a reload publishes a new one whole, and
// the worker takes one snapshot per record.
using CalibrationSnapshot = std::shared_ptr<const CCalibration>;
using CalibrationSource = std::function<CalibrationSnapshot()>;

// The outputs that carry every contact, each optional (off unless a
// school switches it on). With touch output the mouse carries nothing.
struct ContactOutputs {
    TuioOutput* tuio = nullptr;
    TouchOutput* touch = nullptr;
    bool Any() const { return tuio != nullptr || touch != nullptr; }
};

// What the worker works with; all of it outlives the worker.
struct TouchWorkerDeps {
    Desktop& desktop;
    HookControl& hook;
    DriverState& state;
    CalibrationSource calibration;
    BoardKeyTest& boardKeys;
    ChannelSlot& socket; // packets of the socket pointer
    ChannelSlot& pipe;   // raw records while forwarding
    FaultLog& faults;
    ContactOutputs outputs = {};
    // How every pointer and tracked contact is smoothed ([Filter]).
    FilterSettings filter = {};
    // What the board check watches; none in tests that do not ask.
    WorkerWatch* watch = nullptr;
};

class TouchWorker {
public:
    // Pen-button records hold the records' clock, so a contact pressed
    // before the button neither ends nor moves while the button is down. A
    // click on a pen's button lasts a fifth of a second and a deliberate
    // long press about a second; records that go on for five seconds come
    // from a camera service repeating the code, and from then on they count
    // as records without samples (no press, the clock running).
    static constexpr std::uint32_t kPenHoldCapMs = 5000;

    explicit TouchWorker(const TouchWorkerDeps& deps);
    ~TouchWorker();
    TouchWorker(const TouchWorker&) = delete;
    TouchWorker& operator=(const TouchWorker&) = delete;

    // The thread's start: double-tap help on.
    void Begin();

    // One cycle for one polled record (all zero when nothing new was written),
    // with the calibration snapshot in force (a model with no screen when
    // none has been published).
    void Cycle(const TouchRecordBytes& record);
    // The same cycle with a calibration view the caller holds.
    void Cycle(const TouchRecordBytes& record, const CalibrationView& calibration);

    // The driver closes: every contact in progress is released. Called
    // once the thread has stopped cycling.
    void End();
    void End(const CalibrationView& calibration);

    void SetTrace(PointerTrace* trace) { gestures_.SetTrace(trace); }

private:
    // The pointers and the tracker take their stages from one choice.
    TouchWorker(const TouchWorkerDeps& deps, const SmoothingFactory& smoothing);

    // Where the contacts of a record go: the window thread's routing as the
    // worker last saw it.
    struct Routing {
        bool forwarding = false;
        SocketRouting socket = SocketRouting::Off;
        unsigned changes = 0;
        bool operator==(const Routing& o) const
        {
            return forwarding == o.forwarding && socket == o.socket && changes == o.changes;
        }
    };
    Routing CurrentRouting() const;
    RecordRoute Route() const;
    void ReleaseOnRoutingChange(const CalibrationView& calibration);
    void NoteReleased(const GestureMachines::Outcome& outcome, const char* why);
    // The records' clock: milliseconds that pass only over records handed to
    // the gesture machines, so a held pen button neither feeds nor starves a
    // contact's silence.
    std::uint32_t AdvanceRecordClock(bool reachesGestures);
    // Every contact of the record (or their end) to the contact outputs.
    void PublishContacts(const TouchRecord& decoded, const CalibrationView& calibration,
                         const GestureMachines::Outcome& outcome);
    void PublishHeldContacts(const CalibrationView& calibration, std::uint32_t wallElapsed);
    void PublishEndOfContacts(const CalibrationView& calibration);

    // Takes the record into the run of pen-button records one after another
    // (any other record ends it); true once the run is older than
    // kPenHoldCapMs.
    bool PenRunBeyondCap(bool penRecord);
    void SwitchHookByIdleness();
    void CountPenButton(bool front);
    void ReportCameraKind(int kind);
    void ProcessLocally(const TouchRecordBytes& record, const CalibrationView& calibration);
    // The slots of a record to the gesture machines and the contact outputs.
    void ProcessContacts(const TouchRecord& decoded, const CalibrationView& calibration);
    void Forward(const TouchRecordBytes& record, const CalibrationView& calibration);
    bool HitsCalibrationKey(const Point& cameraPoint, const CalibrationView& calibration) const;

    Desktop& desktop_;
    HookControl& hook_;
    DriverState& state_;
    CalibrationSource calibration_;
    ChannelSlot& pipe_;
    FaultLog& faults_;
    GestureMachines gestures_;
    ContactOutputs outputs_;
    WorkerWatch* watch_;
    ContactTracker tracker_;
    // The slots the mouse (and so the touch output) had in the last record.
    ContactTracker::SlotMask mouseSlots_ = TouchFrameBuilder::kAllSlots;
    // Time since the previous cycle, and the records' share of it.
    std::uint32_t wallElapsed_ = 0;
    std::uint32_t recordElapsed_ = 0;
    const CCalibration unloaded_;
    bool hookOn_ = true;
    Routing routing_;
    std::uint32_t lastTick_ = 0;
    std::uint32_t recordClock_ = 0;
    // Since when pen-button records have come one after another.
    std::optional<std::uint32_t> penRunSince_;
};

} // namespace driver
