#include "BrelvinDlg.h"

#include "DeviceNotifications.h"
#include "resource.h"

#include "common/Messages.h"
#include "common/Win32Profile.h"
#include "common/Win32System.h"
#include "driver/CalibrationNotes.h"
#include "driver/DriverShutdown.h"
#include "driver/MouseInput.h"

#include <dbt.h>
#include <shellapi.h>

#include <exception>

namespace brelvin {
namespace {

constexpr UINT kHideDelayMs = 100;
constexpr UINT kHookRefreshMs = 100;
constexpr int kStartUpdateValue = 500;
constexpr DWORD kStartUpPauseMs = 2000;

} // namespace

CBrelvinDlg::CBrelvinDlg(DriverProcess& process) : process_(process), hookControl_(process.hook) {}

INT_PTR CBrelvinDlg::DoModal(HINSTANCE instance)
{
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_BRELVIN_DIALOG), nullptr, &CBrelvinDlg::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CBrelvinDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CBrelvinDlg*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window_ = window;
    }
    auto* self = reinterpret_cast<CBrelvinDlg*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;

    INT_PTR result = FALSE;
    bool handled = false;
    // Nothing may unwind into the system's dispatch: note it and go on.
    try {
        handled = self->HandleMessage(message, wParam, lParam, result);
    } catch (const std::exception& error) {
        self->process_.supportLog.NoteF("Message 0x%04X met an unexpected error: %s.", message, error.what());
    } catch (...) {
        self->process_.supportLog.NoteF("Message 0x%04X met an unexpected error.", message);
    }
    if (!handled) return FALSE;
    if (message != WM_INITDIALOG && message != WM_QUERYDRAGICON) {
        SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    return result;
}

bool CBrelvinDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
    case WM_INITDIALOG: result = OnInitDialog(); return true;
    case WM_PAINT:
        if (!IsIconic(window_)) return false;
        OnPaint();
        return true;
    case WM_QUERYDRAGICON: result = reinterpret_cast<INT_PTR>(icon_); return true;
    case WM_TIMER: OnTimer(wParam); return true;
    case kDriverTimerRequest: process_.desktop.ApplyTimerRequests(); return true;
    case WM_CLOSE: OnClose(); return true;
    case WM_DESTROY: OnDestroy(); return true;
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return true;
    case WM_DEVICECHANGE: OnDeviceChange(wParam, lParam); return false;
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
    return false;
}

BOOL CBrelvinDlg::OnInitDialog()
{
    // 1. Icon.
    icon_ = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    // 2. Pen-button actions.
    actionMap_ = driver::ActionMap();
    // 3. Camera kind; the gesture state starts at rest with the worker.
    process_.state.cameraKind = 0;
    // 4. Process-wide state.
        touchThread_.reset();
    deviceInterfaceClass_ = kCaptureInterfaceClass;
    // 5, 6. Settings file of this user (the locator asks who the user is).
    common::IsUserAdmin();
    settingsPath_ = common::LocateSettingsFileA();
    process_.supportLog.NoteF("Started; settings file %s.", settingsPath_.c_str());
    settingsFile_ = std::make_unique<common::Win32Profile>(settingsPath_);
    // 7.
    updateValue_ = kStartUpdateValue;
    SetDlgItemInt(window_, IDC_UPDATE_VALUE_EDIT, static_cast<UINT>(updateValue_), TRUE);
    // 8. Nothing of the window shows.
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, 0);
    // 9. No task-bar button.
    const LONG_PTR exStyle = GetWindowLongPtrA(window_, GWL_EXSTYLE);
    SetWindowLongPtrA(window_, GWL_EXSTYLE, (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW);
    // 10. Timers go through the desktop, which remembers which ids are armed.
    process_.desktop.AttachDriverWindow(window_);
    process_.desktop.StartDriverTimer(driver::kTimerHideDialog, kHideDelayMs);
    // 11.
    deviceNotification_ = RegisterForCaptureDevices(window_, deviceInterfaceClass_.c_str());
    if (!deviceNotification_) {
        process_.supportLog.Note("Could not register for camera arrivals and removals; they will go unnoticed.");
    }
    // 12.
    registeredOk_ = RegisterWindowMessageA(msg::kRegisteredOk);
    registeredDriverSet_ = RegisterWindowMessageA(msg::kRegisteredDriverSet);
    CreateProtocolHandlers();
    // 13.
    bool calibrationLoaded = false;
    LoadCalibration(calibrationLoaded);
    // 14.
    process_.state.boardKeysEnabled = process_.calibration.GetUseKey();
    process_.state.forwardPlain = 0;
    // 15.
    ReadPenButtonSettings();
    // 16.
    if (!calibrationLoaded) {
        MessageBoxA(window_, process_.strings.calibrationFailed.c_str(), process_.strings.caption.c_str(),
                    MB_OK | MB_TOPMOST);
    }
    // 17. A failure leaves the worker reading empty records.
    OpenSharedBlock();
    // 18.
    process_.hook.setmousehook(nullptr);
    process_.hook.ToHookMouseDBLCLK(0);
    // 19.
    process_.desktop.StartDriverTimer(driver::kTimerHookRefresh, kHookRefreshMs);
    // 20. Only now: the worker maps through the calibration and reads the block.
    StartTouchWorker();
    // 21.
    process_.desktop.OpenProgram(common::ProgramFolderA(), wnd::kCameraServiceProgram);
    // 22. Gives the camera service time to come up before the first ticks.
    Sleep(kStartUpPauseMs);
    initialised_ = true;
    return TRUE;
}

void CBrelvinDlg::StartTouchWorker()
{
    driver::CalibrationStore& store = process_.calibration;
    boardKeys_ = std::make_unique<driver::BoardKeys>(process_.desktop, process_.state, *settingsFile_);
    const common::Win32Profile programFolderCopy(common::ProgramFolderA() + "WBInit.ini");
    contactOutputs_ = std::make_unique<ContactOutputsSetup>(*settingsFile_, programFolderCopy, process_.supportLog);
    worker_ = std::make_unique<driver::TouchWorker>(driver::TouchWorkerDeps{
        process_.desktop, hookControl_, process_.state, [&store] { return store.Current(); }, *boardKeys_,
        process_.socketChannel, process_.pipeChannel, process_.supportLog, contactOutputs_->Outputs()});
    touchThread_ = std::make_unique<TouchThread>(process_.sharedBlock, *worker_, process_.supportLog);
    if (!touchThread_->Start()) process_.supportLog.Note("Could not start the touch worker; touches go unnoticed.");
}

void CBrelvinDlg::OpenSharedBlock()
{
    const DWORD failed = process_.sharedBlock.Create(kTouchBlockName, kTouchBlockSize, 0, PAGE_READWRITE, nullptr);
    if (failed != 0) {
        process_.supportLog.NoteF("Could not create or open the touch block %s (system error %lu); the board "
                                  "cannot see touches.",
                                  kTouchBlockName, static_cast<unsigned long>(failed));
    }
}

void CBrelvinDlg::LoadCalibration(bool& loaded)
{
    const driver::ScreenSize screen = process_.desktop.PrimaryScreenSize();
    loaded = process_.calibration.Reload(*settingsFile_, screen.width, screen.height);
    driver::NoteLoadProblems(*process_.calibration.Current(), process_.supportLog);
}

void CBrelvinDlg::CreateProtocolHandlers()
{
    pipeHost_ = std::make_unique<Win32ForwardingPipeHost>(window_, process_.supportLog);
    protocol_ = std::make_unique<driver::ProtocolHandlers>(driver::ProtocolHandlerDeps{
        process_.desktop, process_.state, process_.calibration, *settingsFile_, process_.socketChannel,
        process_.pipeChannel, socketFactory_, *pipeHost_, penButtons_, actionMap_,
        [this] {
            MessageBoxA(window_, process_.strings.calibrationFailed.c_str(), process_.strings.caption.c_str(),
                        MB_OK | MB_TOPMOST);
        },
        process_.supportLog});
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

void CBrelvinDlg::ReadPenButtonSettings()
{
    penButtons_ = driver::ReadPenButtonSettings(common::Win32Profile(settingsPath_), actionMap_);
}

void CBrelvinDlg::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(window_, &paint);
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
        if (!initialised_ || !IsWindowVisible(window_)) break;
        ShowWindow(window_, SW_HIDE);
        process_.desktop.KillDriverTimer(driver::kTimerHideDialog);
        break;
    case driver::kTimerHookRefresh: process_.hook.ToReUseMouseDBLCLK(); break;
    case driver::kTimerForwardingWatch:
        if (protocol_) protocol_->OnForwardingNews();
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
    driver::AnnounceDriverClosing(process_.desktop, process_.state);
    OnCommand(IDCANCEL);
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
    driver::MouseInput(process_.desktop, process_.desktop.PrimaryScreenSize()).MouseLeftUp(cursor.x, cursor.y);
}

void CBrelvinDlg::ReadControlsBack()
{
    BOOL ok = FALSE;
    const UINT value = GetDlgItemInt(window_, IDC_UPDATE_VALUE_EDIT, &ok, TRUE);
    if (ok) updateValue_ = static_cast<int>(value);
}

void CBrelvinDlg::OnCommand(WORD command)
{
    switch (command) {
    case IDOK:  // Enter does not close the driver
    case IDC_ENABLE_BUTTON: break;
    case IDCANCEL:
        EnableWindow(GetDlgItem(window_, IDC_STOP_BUTTON), FALSE);
        EnableWindow(GetDlgItem(window_, IDC_ENABLE_BUTTON), TRUE);
        EndDialog(window_, IDCANCEL);
        break;
    case IDC_EXIT_BUTTON:
        ReadControlsBack();
        EndDialog(window_, IDOK);
        break;
    case IDC_UPDATE_BUTTON: ReadControlsBack(); break;
    default: break;
    }
}

} // namespace brelvin
