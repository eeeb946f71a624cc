#include "driver/DriverShutdown.h"

#include "common/BoardCodes.h"
#include "common/Messages.h"

namespace driver {
void AnnounceDriverClosing(Desktop& desktop, DriverState& state)
{
    if (!state.connectNoticeSent) return;
    desktop.PostToWindow(desktop.FindWindowByClass(wnd::kDrawingAppClass, wnd::kDrawingAppCaption), msg::kBoardEvent, 0,
                         code::kBoardGone);
}

} // namespace driver
