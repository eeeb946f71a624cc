#pragma once
// The About box, opened from the system menu.
#include "common/ModalDialog.h"

#include <windows.h>

namespace camview {

class CAboutDlg : public common::ModalDialog {
public:
    INT_PTR DoModal(HINSTANCE instance, HWND owner);

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace camview
