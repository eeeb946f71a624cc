#pragma once
// The live view dialog: borrows the camera from the camera service (a
// CameraLoan), shows the picture with its alignment marks, sets the camera's
// brightness from the slider, turns the picture on request and gives the
// camera back when it closes.
#include "CameraLoan.h"
#include "CamvitoStrings.h"
#include "LiveView.h"

#include "common/ModalDialog.h"

#include <windows.h>

#include <atomic>
#include <memory>

namespace camview {

class CCamvitoDlg : public common::ModalDialog {
public:
    explicit CCamvitoDlg(CameraLoan& camera)
        : camera_(camera)
    {}
    CCamvitoDlg(const CCamvitoDlg&) = delete;
    CCamvitoDlg& operator=(const CCamvitoDlg&) = delete;

    // Runs the dialog modally; its result (0 when no camera was found).
    INT_PTR DoModal(HINSTANCE instance);

    // The drawing thread did not stop at the close (the camera's filter does
    // not return). It still uses the loan's graph, this dialog's turn flag
    // and its view: the program must end before any of them is destroyed.
    bool LeftViewRunning() const { return viewLeftRunning_; }

private:
    // Starting: the graph runs and timer 1111 is armed. Live: the drawing
    // thread runs. Closing: the close sequence has begun and runs once.
    enum class ViewState { Starting, Live, Closing };

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    BOOL OnInitDialog();
    void AddAboutItem();
    void OnViewTimer();
    void OnBrightnessScroll(HWND control);
    void OnTurnImage();
    BOOL OnSysCommand(WPARAM command);
    // False when the drawing thread had to be left running.
    bool StopLiveView();
    void CloseView();

    CameraLoan& camera_;
    HINSTANCE instance_ = nullptr;
    DialogTexts texts_;
    ViewState state_ = ViewState::Starting;
    std::atomic<int> imageTurned_{0};
    std::unique_ptr<LiveView> liveView_;
    bool viewLeftRunning_ = false;
};

} // namespace camview
