#pragma once
// The driver's application: strings, the single-instance rule and the modal
// run of the main dialog.
#include "BrelvinDlg.h"

#include <windows.h>

namespace brelvin {

inline constexpr const char* kSingleInstanceMutex = "KtpcBoardSer7.0";

class CBrelvinApp {
public:
    explicit CBrelvinApp(HINSTANCE instance)
        : instance_(instance)
    {}

    // Always FALSE: the process ends when the dialog has closed, or at once
    // when another copy runs.
    BOOL InitInstance();

private:
    HINSTANCE instance_;
    DriverProcess process_;
    common::UniqueHandle instanceMutex_; // held for the life of the process
};

} // namespace brelvin
