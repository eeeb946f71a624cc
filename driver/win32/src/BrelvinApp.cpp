#include "BrelvinApp.h"

#include "common/Win32Profile.h"
#include "common/Win32System.h"

#include <commctrl.h>

namespace brelvin {

BOOL CBrelvinApp::InitInstance()
{
    process_.strings =
        common::LoadDriverStrings(common::Win32Profile(common::LanguageFilePath(common::ProgramFolderA())));

    instanceMutex_.reset(CreateMutexA(nullptr, TRUE, kSingleInstanceMutex));
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
    return FALSE;
}

} // namespace brelvin

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    brelvin::CBrelvinApp app(instance);
    app.InitInstance();
    return 0;
}
