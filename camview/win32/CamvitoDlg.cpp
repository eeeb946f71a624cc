#include "CamvitoDlg.h"

#include "AboutDlg.h"
#include "CameraService.h"
#include "resource.h"

#include "camview/CameraProperties.h"

#include <commctrl.h>

#include <chrono>
#include <thread>

#include "common/DialogIcon.h"

namespace camview {

namespace {

constexpr UINT_PTR kViewTimer = 1111;
constexpr UINT kViewTimerDelayMs = 50;
// Give the camera driver time to let go before the service takes it again,
// and the service time to start before this window disappears.
constexpr auto kReleasePause = std::chrono::milliseconds(2000);
constexpr auto kRestartPause = std::chrono::milliseconds(1000);

} // namespace

INT_PTR CCamvitoDlg::DoModal(HINSTANCE instance)
{
    instance_ = instance;
    icon_ = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CAMVITO_DIALOG), nullptr, &CCamvitoDlg::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CCamvitoDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<CCamvitoDlg*>(lParam)->window_ = window;
    }
    auto* dialog = reinterpret_cast<CCamvitoDlg*>(GetWindowLongPtrW(window, DWLP_USER));
    return dialog ? dialog->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CCamvitoDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_TIMER:
        if (wParam == kViewTimer) OnViewTimer();
        return TRUE;
    case WM_HSCROLL:
        OnBrightnessScroll(reinterpret_cast<HWND>(lParam));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_TURN_IMAGE:
            OnTurnImage();
            return TRUE;
        case IDC_CLOSE_VIEW:
            PostMessageW(window_, WM_CLOSE, 0, 0);
            return TRUE;
        case IDCANCEL: // Escape: the same close sequence as the close button
            CloseView();
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        CloseView();
        return TRUE;
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam);
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(icon_);
    case WM_DESTROY:
        // Whatever ended the dialog, the drawing thread never outlives it.
        if (liveView_) liveView_->Stop();
        return FALSE;
    }
    return FALSE;
}

BOOL CCamvitoDlg::OnInitDialog()
{
    AddAboutItem();
    common::SetDialogIcon(window_, icon_);

    serviceWasRunning_ = ReleaseCameraFromService() ? 1 : 0;

    texts_ = LoadDialogTexts();
    SetDlgItemTextW(window_, IDC_CLOSE_VIEW, texts_.closeButton.c_str());
    SetDlgItemTextW(window_, IDC_TURN_IMAGE, texts_.turnButton.c_str());
    SetDlgItemTextW(window_, IDC_STATIC, texts_.hint.c_str());
    SetDlgItemTextW(window_, IDC_BRIGHTNESS_LABEL, texts_.sliderLabel.c_str());
    SetWindowTextW(window_, texts_.caption.c_str());

    if (graph_.FindDevice() <= 0) {
        MessageBoxW(window_, texts_.noCameraText.c_str(), texts_.noCameraCaption.c_str(), MB_ICONINFORMATION);
        EndDialog(window_, 0);
        return TRUE;
    }
    graph_.BuildGraph();
    SetTimer(window_, kViewTimer, kViewTimerDelayMs, nullptr);

    const SliderSetup slider = SliderSetupFor(graph_.Generation());
    HWND sliderControl = GetDlgItem(window_, IDC_BRIGHTNESS_SLIDER);
    SendMessageW(sliderControl, TBM_SETRANGE, TRUE, MAKELPARAM(slider.minimum, slider.maximum));
    SendMessageW(sliderControl, TBM_SETPOS, TRUE, slider.position);
    return TRUE;
}

void CCamvitoDlg::AddAboutItem()
{
    wchar_t aboutText[260] = {};
    if (LoadStringW(instance_, IDS_ABOUTBOX, aboutText, 260) <= 0) return;
    HMENU systemMenu = GetSystemMenu(window_, FALSE);
    if (!systemMenu) return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText);
}

void CCamvitoDlg::OnViewTimer()
{
    KillTimer(window_, kViewTimer);
    if (state_ != ViewState::Starting) return;
    state_ = ViewState::Live;
    liveView_ = std::make_unique<CLiveView>(window_, graph_, imageTurned_);
    liveView_->Start();
}

void CCamvitoDlg::OnBrightnessScroll(HWND control)
{
    if (control != GetDlgItem(window_, IDC_BRIGHTNESS_SLIDER) || state_ == ViewState::Closing) return;
    const int position = static_cast<int>(SendMessageW(control, TBM_GETPOS, 0, 0));
    graph_.SetBrightness(BrightnessSetting(graph_.Generation(), position));
}

void CCamvitoDlg::OnTurnImage()
{
    imageTurned_ = 1 - imageTurned_.load();
}

BOOL CCamvitoDlg::OnSysCommand(WPARAM command)
{
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return FALSE;
    CAboutDlg about;
    about.DoModal(instance_, window_);
    return TRUE;
}

BOOL CCamvitoDlg::OnPaint()
{
    return common::PaintIconWhenMinimised(window_, icon_) ? TRUE : FALSE;
}

void CCamvitoDlg::CloseView()
{
    if (state_ == ViewState::Closing) return;
    state_ = ViewState::Closing;
    KillTimer(window_, kViewTimer);
    if (liveView_) liveView_->Stop();
    graph_.TearDownGraph();
    std::this_thread::sleep_for(kReleasePause);
    if (serviceWasRunning_ == 1) RestartCameraService();
    std::this_thread::sleep_for(kRestartPause);
    EndDialog(window_, IDCANCEL);
}

} // namespace camview
