#pragma once
// The touch worker's behaviour for one polled record: idle counting and the
// hook's double-click switching, pen-button counting, camera kind reports,
// raw forwarding with the calibration-key check, and hand-over to the
// gesture machines. The thread itself, its 2 ms wait and the shared-block
// read belong to the platform layer:
//
//     worker.Begin();
//     read one record and ignore it;
//     while (!stop) { wait for the next cycle; read a record (a failed read
//                     is all zero); worker.Cycle(record); }
#include "driver/BoardKeyTest.h"
#include "driver/ByteChannel.h"
#include "driver/Calibration.h"
#include "driver/CalibrationView.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/FaultLog.h"
#include "driver/GestureMachines.h"
#include "driver/HookControl.h"
#include "driver/TouchRecord.h"

#include <functional>
#include <memory>

namespace driver {

class PointerDispatcher;

// The calibration model in force; a reload publishes a new one whole, and
// the worker takes one snapshot per record.
using CalibrationSnapshot = std::shared_ptr<const CCalibration>;
using CalibrationSource = std::function<CalibrationSnapshot()>;

struct TouchWorkerParts {
    Desktop& desktop;
    HookControl& hook;
    DriverState& state;
    CalibrationSource calibration;
    BoardKeyTest& boardKeys;
    ChannelSlot& socket;  // packets of the socket pointer
    ChannelSlot& pipe;    // raw records while forwarding
    FaultLog& faults;
};

class TouchWorker {
public:
    explicit TouchWorker(const TouchWorkerParts& parts);
    ~TouchWorker();
    TouchWorker(const TouchWorker&) = delete;
    TouchWorker& operator=(const TouchWorker&) = delete;

    // The thread's start: double-click handling on.
    void Begin();

    // The driver closes: every contact in progress is released. Called
    // once the thread has stopped cycling.
    void End();
    void End(const CalibrationView& calibration);

    // One cycle for one polled record (all zero when nothing new was written),
    // with the calibration snapshot in force (a model with no screen when
    // none has been published).
    void Cycle(const TouchRecordBytes& record);
    // The same cycle with a calibration view the caller holds.
    void Cycle(const TouchRecordBytes& record, const CalibrationView& calibration);

private:
    // Where the contacts of the current record go.
    enum class Routing { Forwarding, Mouse, PairSplit, HalfSplit };
    Routing CurrentRouting() const;
    void ReleaseOnRoutingChange(const CalibrationView& calibration);
    void NoteReleased(GestureMachines::Released released, const char* why);
    // Time since the previous record handed to the gesture machines; the
    // clock is held while records do not reach them.
    std::uint32_t GestureTime(bool reachesGestures);

    void SwitchHookByIdleness();
    void CountPenButton(bool front);
    void ReportCameraKind(int kind);
    void ProcessLocally(const TouchRecordBytes& record, const CalibrationView& calibration);
    void Forward(const TouchRecordBytes& record, const CalibrationView& calibration);
    bool HitsCalibrationKey(const Point& cameraPoint, const CalibrationView& calibration) const;

    Desktop& desktop_;
    HookControl& hook_;
    DriverState& state_;
    CalibrationSource calibration_;
    ChannelSlot& pipe_;
    FaultLog& faults_;
    std::unique_ptr<PointerDispatcher> dispatcher_;
    std::unique_ptr<GestureMachines> gestures_;
    const CCalibration unloaded_;
    bool hookOn_ = true;
    Routing routing_ = Routing::Mouse;
    unsigned routingChanges_ = 0;
    std::uint32_t lastGestureTick_ = 0;
};

} // namespace driver
