#include "TilmaroDlg.h"

#include "ProgramStarter.h"
#include "resource.h"

#include "common/DialogIcon.h"
#include "common/Win32Profile.h"
#include "common/Win32System.h"

namespace launcher {

namespace {

constexpr const wchar_t* kTextSection = L"CamvitoOrient";
constexpr const wchar_t* kSettingsProgram = L"ZorvikSet.exe";
constexpr const wchar_t* kCalibrationProgram = L"Radozi.exe";

} // namespace

INT_PTR CTilmaroDlg::DoModal()
{
    icon_ = LoadIconW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME));
    return DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_TILMARO_DIALOG), nullptr, &CTilmaroDlg::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CTilmaroDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<CTilmaroDlg*>(lParam)->window_ = window;
    }
    auto* dialog = reinterpret_cast<CTilmaroDlg*>(GetWindowLongPtrW(window, DWLP_USER));
    return dialog ? dialog->HandleMessage(message, wParam) : FALSE;
}

INT_PTR CTilmaroDlg::HandleMessage(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: // also Enter: the launcher stays open
            StartBesideLauncher(kSettingsProgram);
            return TRUE;
        case IDC_START_CALIBRATION:
            StartBesideLauncher(kCalibrationProgram);
            EndDialog(window_, IDCANCEL);
            return TRUE;
        case IDCANCEL:
            EndDialog(window_, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(icon_);
    }
    return FALSE;
}

BOOL CTilmaroDlg::OnInitDialog()
{
    const std::wstring languageFile = common::ProgramFolderW() + L"Language.ini";
    auto text = [&languageFile](const wchar_t* key) {
        return common::ReadLanguageTextW(languageFile, kTextSection, key);
    };
    // Read in this order; two keys carry three trailing blanks, which the
    // lookup ignores.
    const std::wstring caption = text(L"IDS_TOTEL");
    const std::wstring explanation = text(L"IDS_CAP   ");
    const std::wstring settingsButton = text(L"IDS_BTNSET");
    const std::wstring calibrationButton = text(L"IDS_BTNORIENT   ");
    const std::wstring cancelButton = text(L"IDS_BTNCANCEL");

    SetWindowTextW(window_, caption.c_str());
    SetDlgItemTextW(window_, IDC_EXPLANATION, explanation.c_str());
    SetDlgItemTextW(window_, IDOK, settingsButton.c_str());
    SetDlgItemTextW(window_, IDC_START_CALIBRATION, calibrationButton.c_str());
    SetDlgItemTextW(window_, IDCANCEL, cancelButton.c_str());

    common::SetDialogIcon(window_, icon_);
    return TRUE;
}

BOOL CTilmaroDlg::OnPaint()
{
    return common::PaintIconWhenMinimised(window_, icon_) ? TRUE : FALSE;
}

} // namespace launcher
