#pragma once
// The board camera borrowed from the camera service, and given back as it
// was: the one place where a program of the suite takes the camera (Camvito
// to aim it, Kalmeno to calibrate with it).
//
//   Idle     --Borrow: listed camera found---> Lent (graph running, starting
//                                              properties set, each read first)
//   Idle     --Borrow: no listed camera------> Refused (the service restarted
//                                              only where the rules ask)
//   Lent     --GiveBack, destructor----------> Returned (properties set back,
//                                              graph torn down, pauses, the
//                                              service restarted if it ran)
//   Refused, Returned --GiveBack-------------> unchanged
#include "CaptureGraph.h"

#include <chrono>
#include <memory>
#include <string>

namespace camview {

struct LoanRules {
    // Tags the support log's lines ("Camvito", "Kalmeno").
    std::string program;
    // Where the camera service is started from again: the borrower's own
    // program folder, with its trailing backslash (empty: that folder).
    std::wstring serviceFolder;
    // Camvito tells the user that no camera is there and leaves the service
    // released until it is started again; a program that goes on with the
    // board needs the service back at once.
    bool restartWithoutCamera = false;
    // The camera driver's time to let go before the service takes the
    // camera again, and the service's time to start before the borrower
    // goes on.
    std::chrono::milliseconds releasePause{2000};
    std::chrono::milliseconds restartPause{1000};
};

enum class LoanState { Idle, Lent, Refused, Returned };

// Whether whoever read frames from the graph has stopped doing so.
enum class FrameReaders {
    Stopped,
    // Stuck in the camera's filter: the graph is left to them as it is,
    // untouched for the rest of the process, and the service still restarts.
    LeftRunning,
};

class CameraLoan {
public:
    explicit CameraLoan(LoanRules rules);
    // Gives the camera back if it is still lent.
    ~CameraLoan();
    CameraLoan(const CameraLoan&) = delete;
    CameraLoan& operator=(const CameraLoan&) = delete;

    // The service lets go of the camera (a bounded wait), the listed camera
    // is found and its graph built and run; Lent or Refused. Blocks about a
    // second while the graph settles.
    LoanState Borrow();
    // The lent camera's graph (frames, brightness, generation).
    CaptureGraph& Graph() { return *graph_; }
    // Once; later calls do nothing. Bounded: the pauses, and a service that
    // takes no longer than the shell to start.
    void GiveBack(FrameReaders readers = FrameReaders::Stopped);

    LoanState State() const { return state_; }
    bool ServiceWasRunning() const { return serviceWasRunning_; }

private:
    void RestartServiceIfItRan();

    LoanRules rules_;
    LoanState state_ = LoanState::Idle;
    bool serviceWasRunning_ = false;
    std::unique_ptr<CaptureGraph> graph_ = std::make_unique<CaptureGraph>();
};

} // namespace camview
