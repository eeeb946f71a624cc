#include "SondaroDlg.h"

#include "CheckFiles.h"
#include "PictureDrawing.h"
#include "SystemFacts.h"
#include "resource.h"

#include "boardcheck/BoardPicture.h"
#include "boardcheck/LogTail.h"
#include "common/BoardStatus.h"
#include "common/BoardStatusRequest.h"
#include "common/LocalTimeText.h"
#include "common/Messages.h"
#include "common/TextEncoding.h"
#include "common/Win32Profile.h"
#include "common/Win32System.h"


namespace boardcheck {
namespace {

constexpr UINT_PTR kRefreshTimer = 1;
// The support log's end that is read: enough for its last lines.
constexpr unsigned long kLogTailBytes = 16 * 1024;
// The saved picture, the shape of a common projector.
constexpr int kSavedPictureWidth = 320;
constexpr int kSavedPictureHeight = 240;

// The labels' texts: keys of section "Sondaro" of Language.ini.
struct Label {
    int control;
    const char* key;
};

constexpr Label kLabels[] = {
    {IDC_DRIVER_LABEL, "IDS_DRIVER"},   {IDC_SERVICE_LABEL, "IDS_SERVICE"},         {IDC_RECORDS_LABEL, "IDS_RECORDS"},
    {IDC_CONTACTS_LABEL, "IDS_CONTACTS"}, {IDC_CALIBRATION_LABEL, "IDS_CALIBRATION"}, {IDC_MONITOR_LABEL, "IDS_MONITOR"},
    {IDC_OUTPUTS_LABEL, "IDS_OUTPUTS"}, {IDC_SMOOTHING_LABEL, "IDS_SMOOTHING"},     {IDC_LOG_LABEL, "IDS_LOG"},
    {IDC_RECORD, "IDS_BTNRECORD"},      {IDC_SAVE_REPORT, "IDS_BTNSAVE"},           {IDC_RELOAD, "IDS_BTNRELOAD"},
    {IDCANCEL, "IDS_BTNCANCEL"},
};

} // namespace

INT_PTR CSondaroDlg::DoModal()
{
    UseIcon(LoadIconW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME)));
    return RunModal(instance_, IDD_SONDARO_DIALOG);
}

INT_PTR CSondaroDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_TIMER:
        if (wParam == kRefreshTimer) Refresh();
        return TRUE;
    case WM_COPYDATA:
        SetWindowLongPtrW(Window(), DWLP_MSGRESULT,
                          OnCopyData(reinterpret_cast<HWND>(wParam), *reinterpret_cast<const COPYDATASTRUCT*>(lParam)));
        return TRUE;
    case WM_DRAWITEM:
        if (wParam != IDC_PICTURE) return FALSE;
        DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_RECORD: AskForRecording(); return TRUE;
        case IDC_SAVE_REPORT: SaveReport(); return TRUE;
        case IDC_RELOAD: AskToReadSettingsAgain(); return TRUE;
        case IDCANCEL:
            KillTimer(Window(), kRefreshTimer);
            EndDialog(Window(), IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

BOOL CSondaroDlg::OnInitDialog()
{
    LoadTexts();
    SetWindowTextW(Window(), common::Wide(texts_.Get("IDS_TOTEL")).c_str());
    for (const Label& label : kLabels) SetDlgItemTextW(Window(), label.control, common::Wide(texts_.Get(label.key)).c_str());
    Refresh();
    SetTimer(Window(), kRefreshTimer, kRefreshMs, nullptr);
    // Focus on Close: the support log's box would otherwise open with its text selected.
    SetFocus(GetDlgItem(Window(), IDCANCEL));
    return FALSE;
}

void CSondaroDlg::LoadTexts()
{
    const std::wstring languageFile = common::ProgramFolderW() + L"Language.ini";
    const std::wstring section = common::Wide(TextSection());
    for (const std::string& key : TextKeys()) {
        texts_.Set(key, common::Utf8(common::ReadLanguageTextW(languageFile, section.c_str(), common::Wide(key).c_str())));
    }
}

// Never waits on another program: the request is posted and its answer
// arrives as a message of its own.
void CSondaroDlg::Refresh()
{
    driver_ = common::FindDriverWindow();
    facts_.serviceFound = FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption) != nullptr;
    if (poll_.OnRefresh(driver_ != nullptr, GetTickCount())) AskDriver(common::BoardCheckRequest(common::kBoardCheckStatus));
    ReadSupportLog();
    Show();
}

void CSondaroDlg::AskDriver(LPARAM request)
{
    common::PostBoardStatusRequest(driver_, Window(), request);
}

void CSondaroDlg::ReadSupportLog()
{
    const std::wstring path = SupportLogPath();
    facts_.logPath = common::Utf8(path);
    facts_.logLines = LastLines(common::Utf8FromCodePage(ReadFileEnd(path, kLogTailBytes)), kLogLines);
}

void CSondaroDlg::ShowText(int control, const std::string& utf8)
{
    // Unchanged texts are left alone: no flicker twice a second.
    const std::wstring text = common::Wide(utf8);
    wchar_t shown[1024] = {};
    GetDlgItemTextW(Window(), control, shown, 1024);
    if (text != shown) SetDlgItemTextW(Window(), control, text.c_str());
}

void CSondaroDlg::Show()
{
    const DisplayLines lines = MakeDisplayLines(poll_, facts_, texts_);
    ShowText(IDC_VERDICT, lines.verdict);
    ShowText(IDC_DRIVER, lines.driver);
    ShowText(IDC_SERVICE, lines.service);
    ShowText(IDC_RECORDS, lines.records);
    ShowText(IDC_CONTACTS, lines.contacts);
    ShowText(IDC_CALIBRATION, lines.calibration);
    ShowText(IDC_MONITOR, lines.monitor);
    ShowText(IDC_OUTPUTS, lines.outputs);
    ShowText(IDC_SMOOTHING, lines.smoothing);
    std::string log;
    for (const std::string& line : facts_.logLines) log += line + "\r\n";
    ShowText(IDC_LOG, log);
    // The user's last action speaks first; else how a recording stands.
    ShowText(IDC_MESSAGE, message_.empty() ? lines.recording : message_);
    const bool answering = poll_.CurrentState() == StatusPoll::State::Answering;
    EnableWindow(GetDlgItem(Window(), IDC_RECORD), answering);
    EnableWindow(GetDlgItem(Window(), IDC_RELOAD), answering);
    InvalidateRect(GetDlgItem(Window(), IDC_PICTURE), nullptr, FALSE);
}

// Only the driver's window speaks for the driver.
BOOL CSondaroDlg::OnCopyData(HWND sender, const COPYDATASTRUCT& data)
{
    std::string text;
    if (!common::ReadBoardStatusAnswer(sender, driver_, data, text)) return FALSE;
    poll_.OnAnswer(common::Utf8FromCodePage(text), GetTickCount());
    // Answers to requests posted before the button's come first: the count
    // of reads tells the answer after the new read.
    const common::BoardStatus& status = poll_.Status();
    if (awaitingRead_ && status.settingsReads != readsBefore_) {
        awaitingRead_ = false;
        message_ = texts_.Fill("IDS_RELOADED", {status.settingsReadAt});
    }
    Show();
    return TRUE;
}

void CSondaroDlg::AskForRecording()
{
    // The user's last action speaks: a read asked for earlier no longer does.
    awaitingRead_ = false;
    message_.clear();
    AskDriver(common::BoardCheckRequest(common::kBoardCheckRecord, common::kRecordingDefaultSeconds));
}

void CSondaroDlg::AskToReadSettingsAgain()
{
    readsBefore_ = poll_.Status().settingsReads;
    awaitingRead_ = true;
    message_ = texts_.Get("IDS_RELOADING");
    AskDriver(common::BoardCheckRequest(common::kBoardCheckReadSettings));
    Show();
}

void CSondaroDlg::SaveReport()
{
    awaitingRead_ = false;
    const std::wstring stem = NewReportStem();
    const std::string report = MakeReport(poll_, facts_, GatherSystemFacts(), common::LocalTimeText());
    const std::wstring reportPath = stem + L".txt";
    if (stem.empty() || !WriteUtf8File(reportPath, report)) {
        message_ = texts_.Get("IDS_SAVEFAIL");
    } else {
        SavePictureBitmap(stem + L".bmp", poll_.Status(), kSavedPictureWidth, kSavedPictureHeight);
        message_ = texts_.Fill("IDS_SAVED", {common::Utf8(reportPath)});
    }
    Show();
}

void CSondaroDlg::DrawPicture(const DRAWITEMSTRUCT& item)
{
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    DrawBoardPicture(item.hDC, item.rcItem, PlaceContacts(poll_.Status(), width, height));
}

} // namespace boardcheck
