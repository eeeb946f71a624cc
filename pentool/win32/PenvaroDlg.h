#pragma once
// The pen-button dialog: default mode or one action per pen button, saved
// to WBInit.ini on OK and announced to the running driver.
#include "ActionImageList.h"

#include "pentool/PenModeMachine.h"

#include <windows.h>

#include <memory>
#include <string>

namespace pentool {

class CPenvaroDlg {
public:
    explicit CPenvaroDlg(HINSTANCE instance) : instance_(instance) {}
    INT_PTR DoModal();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL OnInitDialog();
    void ApplyTexts();
    void FillLists();
    void ShowStoredChoice();
    void OnDefaultModeClicked();
    void OnCustomModeClicked();
    void OnOK();
    BOOL OnPaint();

    ListSelections CurrentSelections() const;
    void Select(const ListSelections& selections);
    void EnableLists(bool enabled);
    HWND Control(int id) const { return GetDlgItem(window_, id); }

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    std::wstring settingsPath_;
    std::wstring languagePath_;
    std::unique_ptr<ActionImageList> images_;
    PenModeMachine modes_{PenMode::Custom, {5, 6}};
};

} // namespace pentool
