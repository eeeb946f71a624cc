#pragma once
// The launcher's dialog: one button starts the settings program and stays,
// one starts the calibration program and closes, one just closes.
#include "common/ModalDialog.h"

#include <windows.h>

namespace launcher {

class CTilmaroDlg : public common::ModalDialog {
public:
    explicit CTilmaroDlg(HINSTANCE instance)
        : instance_(instance)
    {}
    INT_PTR DoModal();

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog();

    HINSTANCE instance_;
};

} // namespace launcher
