#pragma once
// The launcher's dialog: one button starts the settings program and stays,
// one starts the calibration program (common/CalibrationProgram.h) and
// closes, one just closes. Where the
// board check is installed beside it, a link under the explanation starts
// it and the launcher stays.
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
    void StartCalibrationProgram();
    void OfferBoardCheck();

    HINSTANCE instance_;
};

} // namespace launcher
