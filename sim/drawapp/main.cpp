// Stand-in for the drawing application: the window "TfrmReSent" / "Dovrel"
// the driver posts its board events to; every message it gets goes to
// "Dovrel.log" in its own folder.
#include "common/Messages.h"
#include "common/Win32System.h"
#include "sim/LoggingWindow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    sim::LoggingWindow window(wnd::kDrawingAppClass, wnd::kDrawingAppCaption,
                              common::ProgramFolderA() + "Dovrel.log", sim::LogScope::AllMessages);
    if (!window.Create(instance)) return 1;
    return window.RunMessageLoop();
}
