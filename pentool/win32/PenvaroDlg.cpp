#include "PenvaroDlg.h"

#include "WideIniProfile.h"
#include "resource.h"

#include "common/Messages.h"
#include "common/Win32Monitors.h"
#include "common/Win32Profile.h"
#include "common/Win32System.h"
#include "pentool/PenButtonChoice.h"

#include <commctrl.h>

#include <array>

namespace pentool {

namespace {

constexpr const wchar_t* kTextSection = L"SetPzPan";

struct ControlText {
    int id;
    const wchar_t* key;
};

// The caption comes from "IDC_TOP"; every other text belongs to a control.
constexpr ControlText kControlTexts[] = {
    {IDOK, L"IDOK"},
    {IDCANCEL, L"IDCANCEL"},
    {IDC_FRONT_LABEL, L"IDC_STATIC1"},
    {IDC_BACK_LABEL, L"IDC_STATIC2"},
    {IDC_DEFAULT_MODE, L"IDC_RADIO1"},
    {IDC_CUSTOM_MODE, L"IDC_RADIO2"},
    {IDC_LISTS_FRAME, L"IDC_STATIC3"},
};
// The outer frame has no id of its own in the template; it is found as the
// first group box without one.
constexpr const wchar_t* kOuterFrameKey = L"IDC_STATIC";

} // namespace

INT_PTR CPenvaroDlg::DoModal()
{
    UseIcon(LoadIconW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME)));
    return RunModal(instance_, IDD_PENVARO_DIALOG);
}

INT_PTR CPenvaroDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: OnOK(); return TRUE;
        case IDCANCEL: EndDialog(Window(), IDCANCEL); return TRUE;
        case IDC_DEFAULT_MODE:
            if (HIWORD(wParam) == BN_CLICKED) OnDefaultModeClicked();
            return TRUE;
        case IDC_CUSTOM_MODE:
            if (HIWORD(wParam) == BN_CLICKED) OnCustomModeClicked();
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

BOOL CPenvaroDlg::OnInitDialog()
{
    // Where the teacher stands: the board's monitor (the primary screen unless
    // [Display] chooses another).
    common::CentreOnBoardMonitor(Window());
    settingsPath_ = common::LocateSettingsFileW();
    languagePath_ = common::ProgramFolderW() + L"Language.ini";
    ApplyTexts();
    FillLists();
    ShowStoredChoice();
    return TRUE;
}

void CPenvaroDlg::ApplyTexts()
{
    auto text = [this](const wchar_t* key) { return common::ReadLanguageTextW(languagePath_, kTextSection, key); };
    SetWindowTextW(Window(), text(L"IDC_TOP").c_str());
    for (const ControlText& control : kControlTexts) SetDlgItemTextW(Window(), control.id, text(control.key).c_str());

    for (HWND child = GetWindow(Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        const int id = GetDlgCtrlID(child);
        if ((id == -1 || id == 0xFFFF) && (style & BS_TYPEMASK) == BS_GROUPBOX) {
            SetWindowTextW(child, text(kOuterFrameKey).c_str());
            break;
        }
    }
}

void CPenvaroDlg::FillLists()
{
    std::array<std::wstring, 11> names;
    for (std::size_t n = 0; n < names.size(); ++n)
        names[n] = common::ReadLanguageTextW(languagePath_, kTextSection, kPenActions[n].nameKey);
    images_ = std::make_unique<ActionImageList>(instance_);
    FillActionList(Control(IDC_FRONT_LIST), *images_, names);
    FillActionList(Control(IDC_BACK_LIST), *images_, names);
}

void CPenvaroDlg::ShowStoredChoice()
{
    const PenButtonChoice stored = ReadPenButtonChoice(WideIniProfile(settingsPath_));
    const ListSelections shown{ListItemForStoredIndex(stored.front), ListItemForStoredIndex(stored.back)};
    Select(shown);
    const PenMode mode = stored.defaultMode ? PenMode::Default : PenMode::Custom;
    modes_ = PenModeMachine(mode, shown);
    CheckDlgButton(Window(), IDC_DEFAULT_MODE, mode == PenMode::Default ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Window(), IDC_CUSTOM_MODE, mode == PenMode::Custom ? BST_CHECKED : BST_UNCHECKED);
    EnableLists(mode == PenMode::Custom);
}

void CPenvaroDlg::OnDefaultModeClicked()
{
    const ModeEffect effect = modes_.OnDefaultChosen(CurrentSelections());
    if (effect.select) Select(*effect.select);
    EnableLists(effect.listsEnabled);
}

void CPenvaroDlg::OnCustomModeClicked()
{
    const ModeEffect effect = modes_.OnCustomChosen();
    if (effect.select) Select(*effect.select);
    EnableLists(effect.listsEnabled);
}

void CPenvaroDlg::OnOK()
{
    const ListSelections chosen = CurrentSelections();
    modes_.OnConfirmed(chosen);
    PenButtonChoice choice;
    choice.defaultMode = IsDlgButtonChecked(Window(), IDC_DEFAULT_MODE) == BST_CHECKED;
    choice.front = chosen.front;
    choice.back = chosen.back;
    WideIniProfile settings(settingsPath_);
    WritePenButtonChoice(settings, choice);

    // The driver reads the file again only after this, so it sees all three keys.
    if (HWND driver = FindWindowA(wnd::kDriverClass, wnd::kDriverCaption))
        PostMessageA(driver, msg::kPenButtonsChanged, 0, 0);
    EndDialog(Window(), IDOK);
}

ListSelections CPenvaroDlg::CurrentSelections() const
{
    return {static_cast<int>(SendMessageW(Control(IDC_FRONT_LIST), CB_GETCURSEL, 0, 0)),
            static_cast<int>(SendMessageW(Control(IDC_BACK_LIST), CB_GETCURSEL, 0, 0))};
}

void CPenvaroDlg::Select(const ListSelections& selections)
{
    SendMessageW(Control(IDC_FRONT_LIST), CB_SETCURSEL, static_cast<WPARAM>(selections.front), 0);
    SendMessageW(Control(IDC_BACK_LIST), CB_SETCURSEL, static_cast<WPARAM>(selections.back), 0);
}

void CPenvaroDlg::EnableLists(bool enabled)
{
    EnableWindow(Control(IDC_FRONT_LIST), enabled);
    EnableWindow(Control(IDC_BACK_LIST), enabled);
}

} // namespace pentool
