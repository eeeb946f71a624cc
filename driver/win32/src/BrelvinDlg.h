#pragma once
// The driver's hidden main dialog: it owns the window handle that timers,
// window messages and device notifications arrive at, runs the start-up
// sequence (OnInitDialog, one named step after another) and stops the touch
// worker before the shared block goes away.
// Windows Sockets 2 before anything that brings in the platform headers.
#include "WinsockSession.h"

#include "BoardCheckDesk.h"
#include "ContactOutputsSetup.h"
#include "ForwardingPipeHost.h"
#include "LinkHookControl.h"
#include "PolicyWatch.h"
#include "RecordingFolder.h"
#include "ShareMemory.h"
#include "SupportLog.h"
#include "TouchThread.h"
#include "Win32Desktop.h"
#include "Win32SocketFactory.h"

#include "driver/BoardCheckAnswers.h"
#include "driver/BoardKeys.h"
#include "driver/BoardMonitor.h"
#include "driver/ByteChannel.h"
#include "driver/CalibrationStore.h"
#include "driver/CaptureDeviceWatch.h"
#include "driver/DriverState.h"
#include "driver/PenButtonSettings.h"
#include "driver/ProtocolHandlers.h"
#include "driver/SupervisionTimer.h"
#include "driver/TouchWorker.h"
#include "driver/WorkerWatch.h"
#include "hooklib/WToolobjectHook.h"

#include "common/LanguageStrings.h"
#include "common/ModalDialog.h"
#include "common/Win32Profile.h"

#include <windows.h>

#include <memory>
#include <string>

namespace brelvin {

// The process-wide objects the dialog works with; they outlive it.
struct DriverProcess {
    SupportLog supportLog;
    WinsockSession winsock;
    common::DriverStrings strings;
    driver::CalibrationStore calibration;
    CShareMemory sharedBlock;
    WToolobjectHook hook;
    driver::DriverState state;
    Win32Desktop desktop{supportLog};
    driver::ChannelSlot socketChannel;
    driver::ChannelSlot pipeChannel;
    driver::WorkerWatch watch;
};

class CBrelvinDlg : public common::ModalDialog {
public:
    explicit CBrelvinDlg(DriverProcess& process);

    CBrelvinDlg(const CBrelvinDlg&) = delete;
    CBrelvinDlg& operator=(const CBrelvinDlg&) = delete;

    // Runs the dialog modally; the dialog's end code.
    INT_PTR DoModal(HINSTANCE instance);

    // True when the touch worker would not stop at the close: what it uses
    // must then stay alive until the process ends.
    bool LeftWorkerRunning() const { return workerLeftRunning_; }

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnUnexpectedError(UINT message, const char* what) override;
    // True when the message was handled; `result` is then the dialog's answer.
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    // The start-up steps, in the order OnInitDialog takes them.
    BOOL OnInitDialog();
    void ResetDriverState();
    void LoadSettings();
    void ShowUpdateValue();
    void ShrinkToNothing();
    void HideFromTaskBar();
    void StartHideTimer();
    void WatchTheDesktop();
    void WatchCaptureDevices();
    void ListenToPeers();
    bool LoadCalibration();
    void ApplyCalibrationSwitches();
    void ReadPenButtonSettings();
    void ShowCalibrationFailed();
    void OpenSharedBlock();
    void StartDoubleTapHook();
    void NoteHookState();
    void StartTouchWorker();
    void ApplyNewPolicies();
    void RestartTouchWorker();
    void ReadSettingsAgain();
    void AnswerBoardCheck();
    driver::DriverFacts CurrentFacts() const;
    void StartCameraService();
    void WaitForCameraService();

    void OnTimer(UINT_PTR timerId);
    void OnClose();
    void OnDestroy();
    void StopTouchWorker();
    void OnCommand(WORD command);
    void ReadControlsBack();

    void OnDeviceChange(WPARAM event, LPARAM record);
    void OnSettingChange(LPARAM area);
    void OnRegisteredOk()
    {
        if (protocol_) protocol_->OnCameraOk();
    }
    void OnRegisteredDriverSet(WPARAM wParam, LPARAM lParam);

    DriverProcess& process_;
    bool initialised_ = false;
    bool workerLeftRunning_ = false;
    // The calibration-failure box is up (its own loop runs the window's
    // messages meanwhile).
    bool calibrationBoxOpen_ = false;
    int updateValue_ = 0;
    driver::ActionMap actionMap_;
    driver::PenButtonSettings penButtons_;
    std::string settingsPath_;
    std::string deviceInterfaceClass_;
    HDEVNOTIFY deviceNotification_ = nullptr;
    UINT registeredOk_ = 0;
    UINT registeredDriverSet_ = 0;
    UINT registeredBoardCheck_ = 0;
    std::string startedAt_;
    driver::SupervisionTimer supervision_{process_.desktop, process_.state, penButtons_,
                                          [this] { return process_.calibration.Current(); }};
    driver::CaptureDeviceWatch captureDevices_{process_.desktop, process_.state, process_.supportLog};
    // The settings file, as the board keys write to it from the worker and
    // the protocol reloads it on the window thread.
    std::unique_ptr<common::Win32Profile> settingsFile_;
    // The program folder's WBInit.ini, for the sections a user's own copy
    // may lack ([Display], [Multitouch], [Filter]).
    std::unique_ptr<common::Win32Profile> programFolderCopy_;
    PolicyWatch policies_{process_.supportLog};
    std::unique_ptr<driver::BoardMonitor> boardMonitor_;
    Win32SocketFactory socketFactory_;
    std::unique_ptr<Win32ForwardingPipeHost> pipeHost_;
    std::unique_ptr<driver::ProtocolHandlers> protocol_;
    std::unique_ptr<driver::BoardKeys> boardKeys_;
    LinkHookControl hookControl_;
    std::unique_ptr<ContactOutputsSetup> contactOutputs_;
    std::unique_ptr<driver::TouchWorker> worker_;
    // The smoothing the worker was last started with, for the board check.
    driver::FilterSettings filterInForce_;
    std::unique_ptr<TouchThread> touchThread_;
    std::unique_ptr<RecordingFolder> recordings_;
    std::unique_ptr<driver::BoardCheckAnswers> boardCheck_;
    std::unique_ptr<BoardCheckDesk> boardCheckDesk_;
};

} // namespace brelvin
