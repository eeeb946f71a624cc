#include "CamvitoDlg.h"

#include "AboutDlg.h"
#include "SupportNote.h"
#include "resource.h"

#include "camview/CameraProperties.h"

#include "common/Win32Monitors.h"

#include <commctrl.h>

#include <string>

namespace camview {

namespace {

constexpr UINT_PTR kViewTimer = 1111;
constexpr UINT kViewTimerDelayMs = 50;

} // namespace

INT_PTR CCamvitoDlg::DoModal(HINSTANCE instance)
{
    instance_ = instance;
    UseIcon(LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME)));
    return RunModal(instance, IDD_CAMVITO_DIALOG);
}

INT_PTR CCamvitoDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_TIMER:
        if (wParam == kViewTimer) OnViewTimer();
        return TRUE;
    case WM_HSCROLL: OnBrightnessScroll(reinterpret_cast<HWND>(lParam)); return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_TURN_IMAGE: OnTurnImage(); return TRUE;
        case IDC_CLOSE_VIEW: PostMessageW(Window(), WM_CLOSE, 0, 0); return TRUE;
        case IDCANCEL: // Escape: the same close sequence as the close button
            CloseView();
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE: CloseView(); return TRUE;
    case WM_SYSCOMMAND: return OnSysCommand(wParam);
    case WM_DESTROY:
        // Whatever ended the dialog, the drawing thread does not outlive it,
        // unless it is stuck (see CloseView).
        if (liveView_ && !viewLeftRunning_) StopLiveView();
        return FALSE;
    }
    return FALSE;
}

BOOL CCamvitoDlg::OnInitDialog()
{
    // Where the teacher stands: the board's monitor (the primary screen unless
    // [Display] chooses another).
    common::CentreOnBoardMonitor(Window());
    AddAboutItem();

    texts_ = LoadDialogTexts();
    SetDlgItemTextW(Window(), IDC_CLOSE_VIEW, texts_.closeButton.c_str());
    SetDlgItemTextW(Window(), IDC_TURN_IMAGE, texts_.turnButton.c_str());
    SetDlgItemTextW(Window(), IDC_STATIC, texts_.hint.c_str());
    SetDlgItemTextW(Window(), IDC_BRIGHTNESS_LABEL, texts_.sliderLabel.c_str());
    SetWindowTextW(Window(), texts_.caption.c_str());

    if (camera_.Borrow() != LoanState::Lent) {
        MessageBoxW(Window(), texts_.noCameraText.c_str(), texts_.noCameraCaption.c_str(), MB_ICONINFORMATION);
        EndDialog(Window(), 0);
        return TRUE;
    }
    SetTimer(Window(), kViewTimer, kViewTimerDelayMs, nullptr);

    const SliderSetup slider = SliderSetupFor(camera_.Graph().Generation());
    HWND sliderControl = GetDlgItem(Window(), IDC_BRIGHTNESS_SLIDER);
    SendMessageW(sliderControl, TBM_SETRANGE, TRUE, MAKELPARAM(slider.minimum, slider.maximum));
    SendMessageW(sliderControl, TBM_SETPOS, TRUE, slider.position);
    return TRUE;
}

void CCamvitoDlg::AddAboutItem()
{
    wchar_t aboutText[260] = {};
    if (LoadStringW(instance_, IDS_ABOUTBOX, aboutText, 260) <= 0) return;
    HMENU systemMenu = GetSystemMenu(Window(), FALSE);
    if (!systemMenu) return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText);
}

void CCamvitoDlg::OnViewTimer()
{
    KillTimer(Window(), kViewTimer);
    if (state_ != ViewState::Starting) return;
    state_ = ViewState::Live;
    liveView_ = std::make_unique<LiveView>(Window(), camera_.Graph(), imageTurned_);
    liveView_->Start();
}

void CCamvitoDlg::OnBrightnessScroll(HWND control)
{
    if (control != GetDlgItem(Window(), IDC_BRIGHTNESS_SLIDER) || state_ == ViewState::Closing) return;
    const int position = static_cast<int>(SendMessageW(control, TBM_GETPOS, 0, 0));
    CaptureGraph& graph = camera_.Graph();
    graph.SetBrightness(BrightnessSetting(graph.Generation(), position));
}

void CCamvitoDlg::OnTurnImage()
{
    imageTurned_ = 1 - imageTurned_.load();
}

BOOL CCamvitoDlg::OnSysCommand(WPARAM command)
{
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return FALSE;
    CAboutDlg about;
    about.DoModal(instance_, Window());
    return TRUE;
}

bool CCamvitoDlg::StopLiveView()
{
    if (!liveView_ || liveView_->Stop()) return true;
    // Kept, never freed under its thread; the camera is let go when
    // Camvito ends, right after this close.
    viewLeftRunning_ = true;
    LiveView* const keptForTheProcess = liveView_.release();
    static_cast<void>(keptForTheProcess);
    NoteInSupportLog("The live view did not stop within " + std::to_string(LiveView::kStopWait.count()) +
                     " ms of the close (the camera's filter does not return); the camera is let go when Camvito "
                     "ends.");
    return false;
}

void CCamvitoDlg::CloseView()
{
    if (state_ == ViewState::Closing) return;
    state_ = ViewState::Closing;
    KillTimer(Window(), kViewTimer);
    // The graph goes only once nothing draws from it any more.
    camera_.GiveBack(StopLiveView() ? FrameReaders::Stopped : FrameReaders::LeftRunning);
    EndDialog(Window(), IDCANCEL);
}

} // namespace camview
