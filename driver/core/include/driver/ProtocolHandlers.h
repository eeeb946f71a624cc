#pragma once
// The driver window's answers to other programs' messages: forwarding runs
// for the calibration program, calibration reloads, board keys, pen-button
// settings, the camera-ready notice and the touch socket's switches. Every
// member runs on the window thread.
#include "common/Profile.h"
#include "driver/BoardMonitor.h"
#include "driver/ByteChannel.h"
#include "driver/CalibrationStore.h"
#include "driver/ChannelPorts.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/FaultLog.h"
#include "driver/PenButtonSettings.h"
#include "driver/PipeForwarding.h"

#include <cstdint>
#include <functional>

namespace driver {

struct ProtocolHandlerDeps {
    Desktop& desktop;
    DriverState& state;
    CalibrationStore& calibration;
    common::Profile& settings; // WBInit.ini at the settings path
    ChannelSlot& socket;
    ChannelSlot& pipe;
    SocketChannelFactory& socketFactory;
    ForwardingPipeHost& pipeHost;
    PenButtonSettings& penButtons; // the window's copy, read by its timers
    ActionMap& actionMap;
    // Tells the user the calibration could not be read (owned by the driver window).
    std::function<void()> showReloadFailure;
    FaultLog& faults;
    // Which monitor each load maps to; without it the primary screen.
    BoardMonitor* boardMonitor = nullptr;
    ForwardingBounds forwardingBounds = {};
};

class ProtocolHandlers {
public:
    explicit ProtocolHandlers(ProtocolHandlerDeps deps);

    void OnPipeForwardStart(std::uintptr_t wParam, std::intptr_t lParam);
    // The forwarding pipe's client connected, its wait failed or its
    // connection broke; or the watch timer ticked. Carries no data: the
    // run's state is asked of the pipe instance itself.
    void OnForwardingNews();
    void OnPipeForwardEnd(std::uintptr_t wParam, std::intptr_t lParam);
    void OnSetUseKey(std::uintptr_t wParam, std::intptr_t lParam);
    // The display changed (a projector switched on, another resolution):
    // the board's monitor is placed again and the calibration's screen grid
    // rebuilt for its size, as a reload would, without a box; a failure goes
    // to the log.
    void OnDisplayChange();
    // A look at the desktop that the system may not have announced (a
    // monitor added beside an unchanged primary screen), with [Display] as
    // last read: when the board's monitor is not what the model was loaded
    // for, as OnDisplayChange.
    void OnDesktopCheck();
    // Other policies are in force: as OnDesktopCheck, with [Display] read
    // anew, so that a policy's monitor takes the board there.
    void OnPoliciesChange();
    void OnPenButtonsChanged();
    void OnCameraOk();
    void OnDriverSet(std::uintptr_t wParam, std::intptr_t lParam);

    PipeForwarding::State ForwardingState() const { return forwarding_.CurrentState(); }

private:
    void OpenSocket(SocketRouting routing);
    void CloseSocket();
    void ReloadCalibration();
    // The board's monitor now; [Display] read anew or as last read.
    BoardScreen PlaceBoard(bool readSettings);
    void ReloadForDisplay(const BoardScreen& board);
    void ReloadIfTheBoardMoved(bool readSettings);

    ProtocolHandlerDeps deps_;
    PipeForwarding forwarding_;
};

} // namespace driver
