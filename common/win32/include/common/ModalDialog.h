#pragma once
// The one way the suite's programs run a modal dialog whose procedure is a
// member function: the object is handed to the system with DialogBoxParam
// and found again through DWLP_USER, so messages that come before
// WM_INITDIALOG (WM_SETFONT) go to the system alone. The base also owns the
// dialog's application icon (set on the window before WM_INITDIALOG is
// handled, drawn while the dialog is minimised, given for dragging) and
// keeps every exception away from the system's dispatch. While the dialog
// runs, its thread is guarded against forged timer messages
// (TimerCallbackGuard.h), message boxes and dialogs it opens included.
#include <windows.h>

namespace common {

// The form the dialog's procedure gets its texts in: UTF-16, or the system
// code page (the driver, whose strings file is read narrow).
enum class DialogText { Wide, Narrow };

class ModalDialog {
public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

protected:
    ModalDialog() = default;
    virtual ~ModalDialog() = default;

    // Runs the dialog of resource `templateId` until EndDialog; its result,
    // or -1 when the dialog could not be made.
    INT_PTR RunModal(HINSTANCE instance, int templateId, HWND owner = nullptr, DialogText text = DialogText::Wide);

    // Null: the dialog keeps the system's icon.
    void UseIcon(HICON icon) { icon_ = icon; }
    HICON Icon() const { return icon_; }

    // The dialog's window from WM_INITDIALOG until the window is gone.
    HWND Window() const { return window_; }

    // The dialog procedure's answer for `message`: FALSE leaves the message
    // to the system. Not called for a minimised dialog's WM_PAINT nor for
    // WM_QUERYDRAGICON while there is an icon.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // HandleMessage let an exception out while handling `message`; `what`
    // is null for one that is not a std::exception. The message counts as
    // not handled and the dialog goes on.
    virtual void OnUnexpectedError(UINT message, const char* what);

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // The base's own share of a message; true when it answered in `result`.
    bool HandleIconMessage(UINT message, INT_PTR& result);

    HWND window_ = nullptr;
    HICON icon_ = nullptr;
};

} // namespace common
