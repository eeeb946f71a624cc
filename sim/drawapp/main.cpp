// Stand-in for the drawing application: the window "TfrmReSent" / "Dovrel"
// the driver posts its board events to; every message it gets goes to
// "Dovrel.log" in its own folder. Started with "/listen" it also takes the
// driver's touch-socket connections and logs their packets to
// "DovrelSocket.log".
#include "DeviceChangeLog.h"
#include "PacketListener.h"
#include "common/Messages.h"
#include "common/Win32System.h"
#include "sim/LoggingWindow.h"
#include "sim/StandInMessages.h"

#include <cstring>
#include <memory>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const std::string folder = common::ProgramFolderA();
    const std::string logPath = folder + "Dovrel.log";
    sim::LoggingWindow window(wnd::kDrawingAppClass, wnd::kDrawingAppCaption, logPath, sim::LogScope::AllMessages);
    if (!window.Create(instance)) return 1;
    sim::LogDeviceChanges(window.Handle(), logPath);
    // After the window, so that `listening` means the whole stand-in is up.
    std::unique_ptr<sim::PacketListener> listener;
    if (commandLine && std::strstr(commandLine, "/listen")) {
        listener = std::make_unique<sim::PacketListener>(folder + "DovrelSocket.log");
        if (!listener->Start()) return 2;
        sim::PacketListener* socketEnd = listener.get();
        window.OnMessage([socketEnd](UINT message, WPARAM, LPARAM) {
            if (message == sim::kDropTouchConnections) socketEnd->DropConnections();
        });
    }
    return window.RunMessageLoop();
}
