#include "BrelvinDlg.h"

#include "DeviceNotifications.h"
#include "TokenFacts.h"
#include "resource.h"

#include "common/AdminEvents.h"
#include "common/LocalTimeText.h"
#include "common/Messages.h"
#include "common/OptionsInForce.h"
#include "common/SupportLogFile.h"
#include "common/Win32Profile.h"
#include "common/Win32System.h"
#include "driver/CalibrationNotes.h"
#include "driver/DriverShutdown.h"
#include "driver/FilterSettings.h"
#include "driver/MouseInput.h"

#include <dbt.h>
#include <shellapi.h>


namespace brelvin {
namespace {

constexpr UINT kHideDelayMs = 100;
constexpr UINT kHookRefreshMs = 100;
constexpr int kStartUpdateValue = 500;
constexpr DWORD kStartUpPauseMs = 2000;
// How often the monitors are looked at between the system's announcements.
constexpr UINT kDesktopCheckMs = 2000;

// A message box of the driver's window runs its own loop inside the dialog's:
// until it returns, the dialog cannot end, whatever asked it to.
BOOL CALLBACK EndBoxOwnedBy(HWND window, LPARAM owner)
{
    char windowClass[8] = {};
    GetClassNameA(window, windowClass, sizeof windowClass);
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) && std::string(windowClass) == "#32770")
        EndDialog(window, IDCANCEL);
    return TRUE;
}

} // namespace

CBrelvinDlg::CBrelvinDlg(DriverProcess& process)
    : process_(process),
      hookControl_(process.hook)
{}

INT_PTR CBrelvinDlg::DoModal(HINSTANCE instance)
{
    UseIcon(LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME)));
    return RunModal(instance, IDD_BRELVIN_DIALOG, nullptr, common::DialogText::Narrow);
}

INT_PTR CBrelvinDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    if (!RouteMessage(message, wParam, lParam, result)) return FALSE;
    if (message == WM_INITDIALOG) return result;
    // Every other message the driver handles answers 0 to its sender.
    SetWindowLongPtrA(Window(), DWLP_MSGRESULT, 0);
    return TRUE;
}

void CBrelvinDlg::OnUnexpectedError(UINT message, const char* what)
{
    if (what) {
        process_.supportLog.NoteF("Message 0x%04X met an unexpected error: %s.", message, what);
    } else {
        process_.supportLog.NoteF("Message 0x%04X met an unexpected error.", message);
    }
}

bool CBrelvinDlg::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
    case WM_INITDIALOG: result = OnInitDialog(); return true;
    case WM_TIMER: OnTimer(wParam); return true;
    case kDriverTimerRequest: process_.desktop.ApplyTimerRequests(); return true;
    case WM_CLOSE: OnClose(); return true;
    case WM_DESTROY: OnDestroy(); return true;
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return true;
    case WM_DEVICECHANGE: OnDeviceChange(wParam, lParam); return false;
    case WM_SETTINGCHANGE: OnSettingChange(lParam); return false;
    case WM_DISPLAYCHANGE:
        if (protocol_) protocol_->OnDisplayChange();
        return false;
    default: break;
    }
    if (protocol_) {
        switch (message) {
        case msg::kSetUseKey: protocol_->OnSetUseKey(wParam, lParam); return true;
        case msg::kPipeForwardStart: protocol_->OnPipeForwardStart(wParam, lParam); return true;
        case msg::kPipeForwardEnd: protocol_->OnPipeForwardEnd(wParam, lParam); return true;
        case kForwardingNews: protocol_->OnForwardingNews(); return true;
        case msg::kPenButtonsChanged: protocol_->OnPenButtonsChanged(); return true;
        default: break;
        }
    }
    if (registeredOk_ != 0 && message == registeredOk_) {
        OnRegisteredOk();
        return true;
    }
    if (registeredDriverSet_ != 0 && message == registeredDriverSet_) {
        OnRegisteredDriverSet(wParam, lParam);
        return true;
    }
    if (registeredBoardCheck_ != 0 && message == registeredBoardCheck_) {
        if (boardCheckDesk_) boardCheckDesk_->OnRequest(wParam, lParam);
        return true;
    }
    return false;
}

// The window's icon is already set (see DoModal). Each later step may rely
// on those before it: the worker starts only once the calibration, the
// settings and the shared block are there, and the camera service only
// once the worker reads the block.
BOOL CBrelvinDlg::OnInitDialog()
{
    ResetDriverState();
    LoadSettings();
    ShowUpdateValue();
    ShrinkToNothing();
    HideFromTaskBar();
    StartHideTimer();
    WatchTheDesktop();
    WatchCaptureDevices();
    ListenToPeers();
    const bool calibrationLoaded = LoadCalibration();
    ApplyCalibrationSwitches();
    ReadPenButtonSettings();
    if (!calibrationLoaded) ShowCalibrationFailed();
    OpenSharedBlock();
    StartDoubleTapHook();
    StartTouchWorker();
    AnswerBoardCheck();
    StartCameraService();
    WaitForCameraService();
    initialised_ = true;
    return TRUE;
}

// Pen-button actions and the camera kind start at rest; the gesture state
// starts at rest with the worker.
void CBrelvinDlg::ResetDriverState()
{
    actionMap_ = driver::ActionMap();
    process_.state.cameraKind = 0;
    touchThread_.reset();
}

// The settings file of this user (the locator asks who the user is), and
// the policies that win over it.
void CBrelvinDlg::LoadSettings()
{
    startedAt_ = common::LocalTimeText();
    settingsPath_ = common::LocateSettingsFileA();
    process_.supportLog.NoteF("Started; settings file %s.", settingsPath_.c_str());
    settingsFile_ = std::make_unique<common::Win32Profile>(settingsPath_);
    programFolderCopy_ = std::make_unique<common::Win32Profile>(common::ProgramFolderA() + common::kSettingsFileName);
    policies_.Refresh();
    boardMonitor_ = std::make_unique<driver::BoardMonitor>(process_.desktop, *settingsFile_, *programFolderCopy_,
                                                           policies_.Values(), process_.supportLog);
    const common::SettingsSources options{*settingsFile_, *programFolderCopy_, policies_.Values()};
    process_.supportLog.Report(
        common::DriverStartedEvent(BRELVIN_VERSION_TEXT, settingsPath_, common::DescribeOptionsInForce(options)));
}

void CBrelvinDlg::ShowUpdateValue()
{
    updateValue_ = kStartUpdateValue;
    SetDlgItemInt(Window(), IDC_UPDATE_VALUE_EDIT, static_cast<UINT>(updateValue_), TRUE);
}

// Nothing of the window shows.
void CBrelvinDlg::ShrinkToNothing()
{
    SetWindowPos(Window(), HWND_TOP, 0, 0, 0, 0, 0);
}

void CBrelvinDlg::HideFromTaskBar()
{
    const LONG_PTR exStyle = GetWindowLongPtrA(Window(), GWL_EXSTYLE);
    SetWindowLongPtrA(Window(), GWL_EXSTYLE, (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW);
}

// Timers go through the desktop, which remembers which ids are armed.
void CBrelvinDlg::StartHideTimer()
{
    process_.desktop.AttachDriverWindow(Window());
    process_.desktop.StartDriverTimer(driver::kTimerHideDialog, kHideDelayMs);
}

// A monitor switched on beside an unchanged primary screen may come without
// a display-change message; the board's monitor is looked at on a timer too.
void CBrelvinDlg::WatchTheDesktop()
{
    process_.desktop.StartDriverTimer(driver::kTimerDesktopCheck, kDesktopCheckMs);
}

void CBrelvinDlg::WatchCaptureDevices()
{
    deviceInterfaceClass_ = kCaptureInterfaceClass;
    deviceNotification_ = RegisterForCaptureDevices(Window(), deviceInterfaceClass_.c_str());
    if (!deviceNotification_) {
        process_.supportLog.Note("Could not register for camera arrivals and removals; they will go unnoticed.");
    }
}

// The registered messages and the handlers of the peers' messages.
void CBrelvinDlg::ListenToPeers()
{
    registeredOk_ = RegisterWindowMessageA(msg::kRegisteredOk);
    registeredDriverSet_ = RegisterWindowMessageA(msg::kRegisteredDriverSet);
    registeredBoardCheck_ = RegisterWindowMessageA(msg::kRegisteredBoardCheck);
    pipeHost_ = std::make_unique<Win32ForwardingPipeHost>(Window(), process_.supportLog);
    protocol_ = std::make_unique<driver::ProtocolHandlers>(
        driver::ProtocolHandlerDeps{process_.desktop, process_.state, process_.calibration, *settingsFile_,
                                    process_.socketChannel, process_.pipeChannel, socketFactory_, *pipeHost_,
                                    penButtons_, actionMap_, [this] { ShowCalibrationFailed(); }, process_.supportLog,
                                    boardMonitor_.get()});
}

bool CBrelvinDlg::LoadCalibration()
{
    const bool loaded = process_.calibration.Reload(*settingsFile_, boardMonitor_->Place().screen);
    driver::NoteLoadProblems(*process_.calibration.Current(), process_.supportLog);
    return loaded;
}

// What the calibration switches on: the board keys; raw forwarding starts off.
void CBrelvinDlg::ApplyCalibrationSwitches()
{
    process_.state.boardKeysEnabled = process_.calibration.GetUseKey();
    process_.state.forwardPlain = false;
}

void CBrelvinDlg::ReadPenButtonSettings()
{
    penButtons_ = driver::ReadPenButtonSettings(common::Win32Profile(settingsPath_), actionMap_);
}

// One box at a time: messages keep arriving while it is up, and each failed
// reload among them would open another box inside the last one.
void CBrelvinDlg::ShowCalibrationFailed()
{
    if (calibrationBoxOpen_) {
        process_.supportLog.Note("The calibration failed to load again while its failure box was still open.");
        return;
    }
    calibrationBoxOpen_ = true;
    MessageBoxA(Window(), process_.strings.calibrationFailed.c_str(), process_.strings.caption.c_str(),
                MB_OK | MB_TOPMOST);
    calibrationBoxOpen_ = false;
}

// A failure leaves the worker reading empty records.
void CBrelvinDlg::OpenSharedBlock()
{
    const DWORD failed = process_.sharedBlock.Create(kTouchBlockName, kTouchBlockSize, 0, PAGE_READWRITE, nullptr);
    if (failed != 0) {
        process_.supportLog.NoteF("Could not create or open the touch block %s (system error %lu); the board "
                                  "cannot see touches.",
                                  kTouchBlockName, static_cast<unsigned long>(failed));
    }
}

// The hook library's mouse hook, with double clicks off until a gesture
// asks for them, and the timer of its housekeeping.
void CBrelvinDlg::StartDoubleTapHook()
{
    process_.hook.setmousehook(nullptr);
    NoteHookState();
    // Once, at the start: the close finds the same failed start again.
    if (process_.hook.mousehookstate() == WToolobjectHook::HookState::CouldNotInstall)
        process_.supportLog.Report(common::MouseHookNotInstalledEvent());
    process_.hook.ToHookMouseDBLCLK(0);
    process_.desktop.StartDriverTimer(driver::kTimerHookRefresh, kHookRefreshMs);
}

// The library's members report nothing; where its hook stands after a
// step it could not finish in time is noted here.
void CBrelvinDlg::NoteHookState()
{
    switch (process_.hook.mousehookstate()) {
    case WToolobjectHook::HookState::StillStarting:
        process_.supportLog.Note("The double-tap helper's mouse hook was not in place 2 s after the driver asked for "
                                 "it; it is left to start by itself.");
        break;
    case WToolobjectHook::HookState::CouldNotInstall:
        process_.supportLog.Note("The double-tap helper's mouse hook could not be installed; double taps get no help.");
        break;
    case WToolobjectHook::HookState::StillStopping:
        process_.supportLog.Note("The double-tap helper's mouse hook had not ended 2 s after the driver removed it; "
                                 "it is left to end by itself.");
        break;
    case WToolobjectHook::HookState::Removed:
    case WToolobjectHook::HookState::Installed: break;
    }
}

// Only now: the worker maps through the calibration and reads the block.
void CBrelvinDlg::StartTouchWorker()
{
    driver::CalibrationStore& store = process_.calibration;
    const common::SettingsSources options{*settingsFile_, *programFolderCopy_, policies_.Values()};
    // The keys are made anew with the worker (none uses them now), with the
    // calibration program the options in force prefer.
    const common::CalibrationProgramSettings calibrationProgram = common::ReadCalibrationProgramSettings(options);
    if (calibrationProgram.preferOwn) {
        process_.supportLog.NoteF("Board key 12 starts %s, also where %s is installed ([Calibration] OWN_PROGRAM=1).",
                                  wnd::kOwnCalibrationProgram, wnd::kCalibrationProgram);
    }
    boardKeys_ = std::make_unique<driver::BoardKeys>(process_.desktop, process_.state, *settingsFile_,
                                                     process_.supportLog, calibrationProgram);
    contactOutputs_ = std::make_unique<ContactOutputsSetup>(
        driver::ReadMultitouchSettings(options, process_.supportLog), process_.supportLog);
    const driver::FilterSettings filter = driver::ReadFilterSettings(options, process_.supportLog);
    filterInForce_ = filter;
    if (filter.mode == driver::FilterMode::Adaptive) {
        const driver::OneEuroParameters& p = filter.oneEuro;
        process_.supportLog.NoteF("Adaptive smoothing on: MIN_CUTOFF=%g BETA=%g DERIVATIVE_CUTOFF=%g STILL_SPEED=%g.",
                                  p.minCutoffHz, p.beta, p.derivativeCutoffHz, p.stillSpeed);
    }
    worker_ = std::make_unique<driver::TouchWorker>(
        driver::TouchWorkerDeps{process_.desktop, hookControl_, process_.state, [&store] { return store.Current(); },
                                *boardKeys_, process_.socketChannel, process_.pipeChannel, process_.supportLog,
                                contactOutputs_->Outputs(), filter, &process_.watch});
    touchThread_ = std::make_unique<TouchThread>(process_.sharedBlock, *worker_, process_.supportLog);
    if (!touchThread_->Start()) process_.supportLog.Note("Could not start the touch worker; touches go unnoticed.");
}

// Other policies are in force. The worker's options are fixed while it
// runs: it stops (letting go of every contact, as at a close), the board
// goes to the monitor the policies choose, and the worker starts again with
// the options as they now are; no contact presses on one monitor and lifts
// on another.
void CBrelvinDlg::ApplyNewPolicies()
{
    StopTouchWorker();
    if (protocol_) protocol_->OnPoliciesChange();
    if (workerLeftRunning_) {
        process_.supportLog.Note("The touch worker did not stop for the new policies; they apply at the next start.");
        return;
    }
    RestartTouchWorker();
}

// The worker has stopped: it starts again with the options as they now are,
// and the board check tells those.
void CBrelvinDlg::RestartTouchWorker()
{
    touchThread_.reset();
    worker_.reset();
    contactOutputs_.reset();
    StartTouchWorker();
    if (boardCheck_) boardCheck_->UpdateFacts(CurrentFacts());
}

// Nothing tells the driver that WBInit.ini was edited; the board check (or
// "Brelvin.exe /reload") asks. As for new policies the worker stops, letting
// go of every contact, and starts again with every option as the files and
// policies now have them; in between the calibration is loaded again for the
// board's monitor as the settings now choose it. A failed load opens no box:
// the answer tells whoever asked, and the support log says why.
void CBrelvinDlg::ReadSettingsAgain()
{
    process_.supportLog.Note("Read the settings again at the board check's request.");
    policies_.Refresh();
    StopTouchWorker();
    if (workerLeftRunning_) {
        process_.supportLog.Note("The touch worker did not stop to read the settings again; they apply at the next "
                                 "start.");
        return;
    }
    LoadCalibration();
    process_.state.boardKeysEnabled = process_.calibration.GetUseKey();
    ReadPenButtonSettings();
    RestartTouchWorker();
    if (boardCheck_) boardCheck_->NoteSettingsRead();
    const driver::WindowRef service =
        process_.desktop.FindWindowByClass(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    if (service != 0) process_.desktop.SendToWindow(service, msg::kCalibrationReloaded, 0, 0);
}

// What the board check tells of the driver itself.
driver::DriverFacts CBrelvinDlg::CurrentFacts() const
{
    driver::DriverFacts facts;
    facts.version = BRELVIN_VERSION_TEXT;
    facts.processId = GetCurrentProcessId();
    facts.startedAt = startedAt_;
    facts.elevated = ElevationText(GetCurrentProcess());
    facts.virtualized = VirtualizationText(GetCurrentProcess());
    facts.settingsFile = settingsPath_;
    facts.tuio = contactOutputs_->TuioDestination();
    facts.touchInjectionAsked = contactOutputs_->TouchInjectionAsked();
    facts.touchInjectionAvailable = contactOutputs_->TouchInjectionAvailable();
    facts.touchInjectionOn = contactOutputs_->TouchInjectionOn();
    facts.filter = filterInForce_;
    return facts;
}

// The board check asks through the registered message; its recordings go
// beside the support log.
void CBrelvinDlg::AnswerBoardCheck()
{
    const std::string logPath = process_.supportLog.Path();
    const common::SettingsSources options{*settingsFile_, *programFolderCopy_, policies_.Values()};
    recordings_ =
        std::make_unique<RecordingFolder>(logPath.substr(0, logPath.find_last_of('\\') + 1), settingsPath_, options);
    boardCheck_ = std::make_unique<driver::BoardCheckAnswers>(
        driver::BoardCheckDeps{process_.desktop, process_.state, process_.calibration, process_.watch,
                               process_.socketChannel, *recordings_, process_.supportLog},
        CurrentFacts());
    boardCheckDesk_ = std::make_unique<BoardCheckDesk>(*boardCheck_, process_.supportLog);
    boardCheckDesk_->AttachDriverWindow(Window());
    boardCheckDesk_->AttachSettingsReader([this] { ReadSettingsAgain(); });
}

void CBrelvinDlg::StartCameraService()
{
    process_.desktop.OpenProgram(common::ProgramFolderA(), wnd::kCameraServiceProgram);
}

// Gives the camera service time to come up before the first ticks.
void CBrelvinDlg::WaitForCameraService()
{
    Sleep(kStartUpPauseMs);
}

void CBrelvinDlg::OnRegisteredDriverSet(WPARAM wParam, LPARAM lParam)
{
    if (protocol_) protocol_->OnDriverSet(wParam, lParam);
}

void CBrelvinDlg::OnDeviceChange(WPARAM event, LPARAM record)
{
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return;
    const std::optional<std::string> name = DeviceInterfaceName(record);
    if (!name) return;
    if (event == DBT_DEVICEARRIVAL)
        captureDevices_.OnArrival(*name);
    else
        captureDevices_.OnRemoval(*name);
}

void CBrelvinDlg::OnSettingChange(LPARAM area)
{
    if (!initialised_ || !PolicyWatch::IsPolicyAnnouncement(area)) return;
    if (policies_.Refresh()) ApplyNewPolicies();
}

void CBrelvinDlg::OnTimer(UINT_PTR timerId)
{
    // Any program can post WM_TIMER: a tick counts only for a timer the
    // driver has armed and not killed.
    if (!process_.desktop.TimerArmed(timerId)) return;
    switch (timerId) {
    case driver::kTimerHideDialog:
        // The modal loop shows the dialog only once its queue first runs
        // empty, so a tick that was already waiting (start-up sleeps and may
        // show a box) comes before the show and the hide would be undone:
        // keep ticking until there is something visible to hide.
        if (!initialised_ || !IsWindowVisible(Window())) break;
        ShowWindow(Window(), SW_HIDE);
        process_.desktop.KillDriverTimer(driver::kTimerHideDialog);
        break;
    case driver::kTimerHookRefresh: process_.hook.ToReUseMouseDBLCLK(); break;
    case driver::kTimerForwardingWatch:
        if (protocol_) protocol_->OnForwardingNews();
        break;
    case driver::kTimerDesktopCheck:
        if (protocol_) protocol_->OnDesktopCheck();
        break;
    case driver::kTimerRecording:
        if (boardCheck_) boardCheck_->OnRecordingTimer();
        break;
    case driver::kTimerPenAndBoardKeys:
    case driver::kTimerSocketBoardKeys:
    case driver::kTimerSupervision: supervision_.OnTick(static_cast<unsigned>(timerId)); break;
    default: break;
    }
}

void CBrelvinDlg::OnClose()
{
    process_.hook.unsetmousehook(nullptr);
    NoteHookState();
    driver::AnnounceDriverClosing(process_.desktop, process_.state);
    OnCommand(IDCANCEL);
    // A close ends the driver also while its failure box waits for a teacher
    // (an upgrade's closer, a logoff): the box goes with it.
    if (calibrationBoxOpen_)
        EnumThreadWindows(GetCurrentThreadId(), &EndBoxOwnedBy, reinterpret_cast<LPARAM>(Window()));
}

void CBrelvinDlg::OnDestroy()
{
    // The worker reads the block every cycle: it ends before the block does,
    // and no button it pressed stays down after the driver is gone.
    StopTouchWorker();
    // Then the channels: a forwarding run ends and its pipe instance closes.
    protocol_.reset();
    process_.pipeChannel.Withdraw();
    process_.socketChannel.Withdraw();
    if (!workerLeftRunning_) process_.sharedBlock.Close();
    driver::AnnounceDriverClosing(process_.desktop, process_.state);
}

void CBrelvinDlg::StopTouchWorker()
{
    if (!touchThread_) return;
    if (touchThread_->Stop()) {
        if (worker_) worker_->End();
        return;
    }
    // A worker stuck in a cycle keeps the block, its channels and this
    // dialog's parts in use; the process ends with them (see the app). Its
    // button goes up all the same: a left-up with nothing down does no harm.
    workerLeftRunning_ = true;
    const driver::ScreenPosition cursor = process_.desktop.CursorPosition();
    const driver::CalibrationStore::Snapshot model = process_.calibration.Current();
    driver::MouseInput(process_.desktop, model->Board(), driver::MouseInput::Reach::Desktop)
        .MouseLeftUp(cursor.x, cursor.y);
}

void CBrelvinDlg::ReadControlsBack()
{
    BOOL ok = FALSE;
    const UINT value = GetDlgItemInt(Window(), IDC_UPDATE_VALUE_EDIT, &ok, TRUE);
    if (ok) updateValue_ = static_cast<int>(value);
}

void CBrelvinDlg::OnCommand(WORD command)
{
    switch (command) {
    case IDOK: // Enter does not close the driver
    case IDC_ENABLE_BUTTON: break;
    case IDCANCEL:
        EnableWindow(GetDlgItem(Window(), IDC_STOP_BUTTON), FALSE);
        EnableWindow(GetDlgItem(Window(), IDC_ENABLE_BUTTON), TRUE);
        EndDialog(Window(), IDCANCEL);
        break;
    case IDC_EXIT_BUTTON:
        ReadControlsBack();
        EndDialog(Window(), IDOK);
        break;
    case IDC_UPDATE_BUTTON: ReadControlsBack(); break;
    default: break;
    }
}

} // namespace brelvin
