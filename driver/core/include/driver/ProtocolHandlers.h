#pragma once
// The driver window's answers to other programs' messages: forwarding runs
// for the calibration program, calibration reloads, board keys, pen-button
// settings, the camera-ready notice and the touch socket's switches. Every
// member runs on the window thread.
#include "common/Profile.h"
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
    // the calibration's screen grid is rebuilt for the primary screen's new
    // size, as a reload would, without a box; a failure goes to the log.
    void OnDisplayChange();
    void OnPenButtonsChanged();
    void OnCameraOk();
    void OnDriverSet(std::uintptr_t wParam, std::intptr_t lParam);

    PipeForwarding::State ForwardingState() const { return forwarding_.CurrentState(); }

private:
    void OpenSocket(SocketRouting routing);
    void CloseSocket();
    void ReloadCalibration();

    ProtocolHandlerDeps deps_;
    PipeForwarding forwarding_;
};

} // namespace driver
