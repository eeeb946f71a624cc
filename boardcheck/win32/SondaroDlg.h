#pragma once
// The board check's window: twice a second it looks for the driver and the
// camera service, asks the driver how the board stands (the answer comes
// back as WM_COPYDATA), reads the end of the support log and shows it all;
// its buttons ask the driver for a recording or to read its settings again,
// and save a report.
#include "boardcheck/CheckPage.h"
#include "boardcheck/CheckTexts.h"
#include "boardcheck/StatusPoll.h"

#include "common/ModalDialog.h"

#include <windows.h>

#include <string>

namespace boardcheck {

class CSondaroDlg : public common::ModalDialog {
public:
    static constexpr UINT kRefreshMs = 500;
    static constexpr std::size_t kLogLines = 12;

    explicit CSondaroDlg(HINSTANCE instance)
        : instance_(instance)
    {}
    INT_PTR DoModal();

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog();
    void LoadTexts();
    void Refresh();
    void ReadSupportLog();
    void Show();
    void ShowText(int control, const std::string& utf8);
    BOOL OnCopyData(HWND sender, const COPYDATASTRUCT& data);
    void AskDriver(LPARAM request);
    void AskForRecording();
    void AskToReadSettingsAgain();
    void SaveReport();
    void DrawPicture(const DRAWITEMSTRUCT& item);

    HINSTANCE instance_;
    HWND driver_ = nullptr;
    CheckTexts texts_;
    StatusPoll poll_;
    CheckFacts facts_;
    std::string message_;
    // The button asked the driver to read its settings again, when it had read them so often.
    bool awaitingRead_ = false;
    unsigned readsBefore_ = 0;
};

} // namespace boardcheck
