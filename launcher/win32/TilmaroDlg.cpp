#include "TilmaroDlg.h"

#include "ProgramStarter.h"
#include "resource.h"

#include "common/CalibrationProgram.h"
#include "common/Messages.h"
#include "common/ToolOptions.h"
#include "common/Win32Monitors.h"
#include "common/Win32Profile.h"
#include "common/Win32System.h"

#include <commctrl.h>

#include <string>

namespace launcher {

namespace {

constexpr const wchar_t* kTextSection = L"CamvitoOrient";
constexpr const wchar_t* kSettingsProgram = L"ZorvikSet.exe";
constexpr const wchar_t* kBoardCheckProgram = L"Sondaro.exe";

// The program names are plain ASCII.
std::wstring Wide(const char* ascii)
{
    return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

} // namespace

INT_PTR CTilmaroDlg::DoModal()
{
    UseIcon(LoadIconW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME)));
    return RunModal(instance_, IDD_TILMARO_DIALOG);
}

INT_PTR CTilmaroDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_NOTIFY: {
        const auto* note = reinterpret_cast<const NMHDR*>(lParam);
        if (note->idFrom != IDC_BOARD_CHECK || (note->code != NM_CLICK && note->code != NM_RETURN)) return FALSE;
        StartBesideLauncher(kBoardCheckProgram);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: // also Enter: the launcher stays open
            StartBesideLauncher(kSettingsProgram);
            return TRUE;
        case IDC_START_CALIBRATION:
            StartCalibrationProgram();
            EndDialog(Window(), IDCANCEL);
            return TRUE;
        case IDCANCEL: EndDialog(Window(), IDCANCEL); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

BOOL CTilmaroDlg::OnInitDialog()
{
    // Where the teacher stands: the board's monitor (the primary screen unless
    // [Display] chooses another).
    common::CentreOnBoardMonitor(Window());
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

    SetWindowTextW(Window(), caption.c_str());
    SetDlgItemTextW(Window(), IDC_EXPLANATION, explanation.c_str());
    SetDlgItemTextW(Window(), IDOK, settingsButton.c_str());
    SetDlgItemTextW(Window(), IDC_START_CALIBRATION, calibrationButton.c_str());
    SetDlgItemTextW(Window(), IDCANCEL, cancelButton.c_str());
    OfferBoardCheck();
    return TRUE;
}

// The driver's calibration key chooses by the same rule. With neither
// program there the teacher is told, rather than left waiting for a
// calibration that never comes; the launcher closes after the box as after
// a start.
void CTilmaroDlg::StartCalibrationProgram()
{
    const common::ToolOptions options;
    const common::CalibrationProgram program = common::ChooseCalibrationProgram(
        common::ReadCalibrationProgramSettings(options.Sources()), IsBesideLauncher(Wide(wnd::kCalibrationProgram)),
        IsBesideLauncher(Wide(wnd::kOwnCalibrationProgram)));
    if (const char* file = common::CalibrationProgramFile(program)) {
        StartBesideLauncher(Wide(file));
        return;
    }
    const std::wstring languageFile = common::ProgramFolderW() + L"Language.ini";
    const std::wstring text = common::ReadLanguageTextW(languageFile, kTextSection, L"IDS_NOCALIBRATION");
    const std::wstring caption = common::ReadLanguageTextW(languageFile, kTextSection, L"IDS_TOTEL");
    MessageBoxW(Window(), text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

// The link shows only where the board check was installed with the launcher.
void CTilmaroDlg::OfferBoardCheck()
{
    if (!IsBesideLauncher(kBoardCheckProgram)) return;
    const std::wstring languageFile = common::ProgramFolderW() + L"Language.ini";
    const std::wstring text = common::ReadLanguageTextW(languageFile, kTextSection, L"IDS_LNKCHECK");
    SetDlgItemTextW(Window(), IDC_BOARD_CHECK, (L"<a>" + text + L"</a>").c_str());
    ShowWindow(GetDlgItem(Window(), IDC_BOARD_CHECK), SW_SHOW);
}

} // namespace launcher
