#include "common/ModalDialog.h"

#include "common/DialogIcon.h"
#include "common/TimerCallbackGuard.h"

#include <exception>

namespace common {

INT_PTR ModalDialog::RunModal(HINSTANCE instance, int templateId, HWND owner, DialogText text)
{
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    // For the dialog's loop and every loop nested in it (message boxes,
    // other dialogs); a program that guards the thread itself keeps its own.
    const TimerCallbackGuard guard;
    if (text == DialogText::Narrow)
        return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, &ModalDialog::Procedure, self);
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, &ModalDialog::Procedure, self);
}

void ModalDialog::OnUnexpectedError(UINT, const char*) {}

INT_PTR CALLBACK ModalDialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<ModalDialog*>(lParam)->window_ = window;
    }
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    const INT_PTR result = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The last message: the object may outlive its window.
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return result;
}

INT_PTR ModalDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (icon_) {
        if (message == WM_INITDIALOG) SetDialogIcon(window_, icon_);
        if (message == WM_PAINT && PaintIconWhenMinimised(window_, icon_)) return TRUE;
        if (message == WM_QUERYDRAGICON) return reinterpret_cast<INT_PTR>(icon_);
    }
    // Nothing may unwind into the system's dispatch.
    try {
        return HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        OnUnexpectedError(message, error.what());
    } catch (...) {
        OnUnexpectedError(message, nullptr);
    }
    return FALSE;
}

} // namespace common
