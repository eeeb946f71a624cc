#include "CheckWindow.h"

#include "resource.h"

#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"
#include "sim/TextForms.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

namespace boardcheck_e2e {

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

bool CheckWindow::Start(const sim::ScratchFolder& folder)
{
    if (!folder.CopyIn(sim::BuiltPath(SONDARO_EXE), "Sondaro.exe") ||
        !folder.CopyIn(sim::BuiltPath(DIST_LANGUAGE_INI), "Language.ini"))
        return false;
    process_ = sim::ChildProcess::Start(folder.File("Sondaro.exe"), folder.Path());
    if (!process_) return false;
    window_ = sim::WaitForProcessWindow(process_.Id(), sim::IsShownDialog, e2e::kWaitMs);
    return window_ != nullptr;
}

CheckWindow::~CheckWindow()
{
    if (window_) PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
    process_.WaitForExit(e2e::kWaitMs);
}

std::string CheckWindow::Text(int control) const
{
    return sim::Utf8(sim::WindowText(GetDlgItem(window_, control)).c_str());
}

bool CheckWindow::WaitForText(int control, const std::function<bool(const std::string&)>& wanted,
                              unsigned timeoutMs) const
{
    return sim::WaitUntil([&] { return wanted(Text(control)); }, timeoutMs, 50);
}

void CheckWindow::Click(int control) const
{
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window_, control)));
}

std::string CheckWindow::SaveReport(std::string& picturePath) const
{
    const std::string saved = "Report saved: ";
    const std::string before = Text(IDC_MESSAGE);
    Click(IDC_SAVE_REPORT);
    if (!WaitForText(IDC_MESSAGE, [&](const std::string& text) { return StartsWith(text, saved) && text != before; }))
        return {};
    const std::string path = Text(IDC_MESSAGE).substr(saved.size());
    picturePath = path.substr(0, path.size() - 4) + ".bmp";
    std::string report = sim::ReadWholeFile(path);
    // The prefix outlives the test: its reports do not.
    DeleteFileA(path.c_str());
    if (StartsWith(report, "\xEF\xBB\xBF")) report.erase(0, 3);
    return report;
}

} // namespace boardcheck_e2e
