// Stand-in for the main tool window "TMainToolfrm": present while it runs,
// absent otherwise; messages of WM_USER and above go to "MainTool.log" in its
// own folder.
#include "common/Messages.h"
#include "common/Win32System.h"
#include "sim/LoggingWindow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    sim::LoggingWindow window(wnd::kMainToolClass, "MainTool", common::ProgramFolderA() + "MainTool.log",
                              sim::LogScope::ApplicationMessages);
    if (!window.Create(instance)) return 1;
    return window.RunMessageLoop();
}
