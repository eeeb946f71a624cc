#include "PenvaroApp.h"

#include "PenvaroDlg.h"

#include <commctrl.h>

namespace pentool {

int CPenvaroApp::InitInstance()
{
    INITCOMMONCONTROLSEX standard{sizeof(standard), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&standard);
    // The image lists are ComboBoxEx controls, which the template creates.
    INITCOMMONCONTROLSEX imageCombos{sizeof(imageCombos), ICC_USEREX_CLASSES};
    InitCommonControlsEx(&imageCombos);

    CPenvaroDlg dialog(instance_);
    dialog.DoModal();
    return 0;
}

} // namespace pentool

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    pentool::CPenvaroApp app(instance);
    return app.InitInstance();
}
