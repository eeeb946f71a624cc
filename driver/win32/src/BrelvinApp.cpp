#include "BrelvinApp.h"

#include "DroppedTimerLog.h"
#include "ReloadCommand.h"

#include "common/TimerCallbackGuard.h"
#include "common/Win32Profile.h"
#include "common/Win32System.h"

#include <commctrl.h>

namespace brelvin {

BOOL CBrelvinApp::InitInstance()
{
    process_.supportLog.Start();
    // Before the first message loop, the already-running box's included;
    // the dialog's own guard then leaves this one in charge.
    DroppedTimerLog droppedTimers(process_.supportLog);
    const common::TimerCallbackGuard guard(&droppedTimers);
    if (!guard.Active())
        process_.supportLog.Note("Could not guard the driver's message loop against forged timer messages.");
    process_.strings =
        common::LoadDriverStrings(common::Win32Profile(common::LanguageFilePath(common::ProgramFolderA())));

    instanceMutex_.Reset(CreateMutexA(nullptr, TRUE, kSingleInstanceMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxA(nullptr, process_.strings.alreadyRunning.c_str(), process_.strings.caption.c_str(),
                    MB_ICONINFORMATION | MB_OK);
        return FALSE;
    }

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = 8;
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);

    CBrelvinDlg dialog(process_);
    dialog.DoModal(instance_);
    if (dialog.LeftWorkerRunning()) {
        // The stuck worker still uses the dialog's and the process's objects:
        // end the process before any of them is destroyed under it.
        process_.supportLog.Stop();
        ExitProcess(0);
    }
    return FALSE;
}

} // namespace brelvin

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // A second start that only passes the request on: no driver of its own,
    // no support-log lines, no already-running box.
    if (brelvin::AsksForReload(commandLine)) return static_cast<int>(brelvin::AskDriverToReload(instance));
    brelvin::CBrelvinApp app(instance);
    app.InitInstance();
    return 0;
}
