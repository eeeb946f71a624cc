#pragma once
// One calibration run's hold on the board's raw records: the driver stops
// driving the mouse and forwards every record through its pipe until the
// run ends. The protocol of the outside calibration program:
//
//   1. find the driver's window and post WM_PIPE_FORWARD_START with lParam 0
//      (not 8: the calibration key keeps closing the "ULDlg" window, the
//      teacher's way out at the board);
//   2. connect to the pipe the driver then creates;
//   3. read 20-byte records (ForwardedRecords) until the run ends;
//   4. post WM_PIPE_FORWARD_END: (0, 0) after the new calibration was
//      written, and the driver reloads it and tells the camera service;
//      (0, 1) on a cancel or a failure, and the driver only stops
//      forwarding. The driver then closes its end of the pipe. A run the
//      driver ended itself (its end closed) gets no end message.
//
//   state      | Begin                 | pipe breaks, driver ends, silence | End
//   -----------+-----------------------+-----------------------------------+--------
//   Idle       | -> Forwarding, or     | -                                 | Ended
//              |    Failed with error  |                                   |
//   Forwarding | (refused)             | -> Failed with error              | -> Ended
//   Failed     | (refused)             | -                                 | -> Ended
//   Ended      | (refused)             | -                                 | Ended
//
// Records and a failure reach the window thread: the session posts its
// message to the window, whose procedure calls OnHandOver, and the
// callbacks run there. Every wait is bounded, and each way a run can fail
// has an error of its own for the window to put in plain words.
#include "ForwardedRecords.h"

#include <windows.h>

#include <functional>
#include <memory>

namespace calibration {

enum class ForwardingError {
    None,
    DriverNotRunning, // no driver window to ask
    PipeNotOffered,   // the driver's window is there, its pipe did not come in time
    PipeBroken,       // the driver ended the forwarding on its own (its end of the pipe closed)
    DriverGone,       // the driver's process ended during the run
    RecordsStopped,   // connected, but the driver's records stopped coming
};

enum class RunOutcome {
    Saved,     // the new calibration is written: the driver reloads it
    Cancelled, // cancelled or failed: nothing to reload
};

struct ForwardingBounds {
    // The driver makes the pipe as soon as its window thread handles the
    // request; that thread's sends to hung peers may each hold it up to a
    // second, so a few of them still fit. The driver itself gives up on a
    // client after 15 s.
    DWORD pipeWaitMs = 5000;
    // How long an ended run waits for the driver to close its end before
    // closing ours: a client that goes first is a fault in the support log.
    DWORD driverEndWaitMs = 1000;
    ReaderBounds reader;
};

class ForwardingSession {
public:
    enum class State { Idle, Forwarding, Failed, Ended };
    using RecordHandler = std::function<void(const RawRecord&)>;
    using FailureHandler = std::function<void(ForwardingError)>;

    // `handOver` is posted to `window` (no parameters) when records or a
    // failure wait; the window then calls OnHandOver.
    ForwardingSession(HWND window, UINT handOver, RecordHandler onRecord, FailureHandler onFailure,
                      const ForwardingBounds& bounds = {});
    // Ends a run in progress as cancelled.
    ~ForwardingSession();
    ForwardingSession(const ForwardingSession&) = delete;
    ForwardingSession& operator=(const ForwardingSession&) = delete;

    // Asks for the records and connects; returns within pipeWaitMs. Idle
    // only: from any other state it changes nothing and returns Error().
    ForwardingError Begin();
    // Window thread, on the hand-over message: runs the callbacks for what
    // came since the last call. Nothing after End.
    void OnHandOver();
    // Ends the run; returns within driverEndWaitMs and the reader's stop
    // bound. The driver is told unless it ended the run itself (PipeBroken,
    // DriverGone), so that a forwarding it may still hold ends too.
    void End(RunOutcome outcome);

    State CurrentState() const { return state_; }
    ForwardingError Error() const { return error_; }
    const ForwardingBounds& Bounds() const { return bounds_; }

private:
    ForwardingError Fail(ForwardingError error);
    void TellDriverTheEnd(RunOutcome outcome) const;

    const HWND window_;
    const UINT handOver_;
    const RecordHandler onRecord_;
    const FailureHandler onFailure_;
    const ForwardingBounds bounds_;
    State state_ = State::Idle;
    ForwardingError error_ = ForwardingError::None;
    std::unique_ptr<ForwardedRecords> records_;
};

const char* Name(ForwardingError error);

} // namespace calibration
