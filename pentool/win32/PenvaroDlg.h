#pragma once
// The pen-button dialog: default mode or one action per pen button, saved
// to WBInit.ini on OK and announced to the running driver.
#include "ActionImageList.h"

#include "common/ModalDialog.h"
#include "pentool/PenModeMachine.h"

#include <windows.h>

#include <memory>
#include <string>

namespace pentool {

class CPenvaroDlg : public common::ModalDialog {
public:
    explicit CPenvaroDlg(HINSTANCE instance)
        : instance_(instance)
    {}
    INT_PTR DoModal();

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    BOOL OnInitDialog();
    void ApplyTexts();
    void FillLists();
    void ShowStoredChoice();
    void OnDefaultModeClicked();
    void OnCustomModeClicked();
    void OnOK();

    ListSelections CurrentSelections() const;
    void Select(const ListSelections& selections);
    void EnableLists(bool enabled);
    HWND Control(int id) const { return GetDlgItem(Window(), id); }

    HINSTANCE instance_;
    std::wstring settingsPath_;
    std::wstring languagePath_;
    std::unique_ptr<ActionImageList> images_;
    PenModeMachine modes_{PenMode::Custom, {5, 6}};
};

} // namespace pentool
