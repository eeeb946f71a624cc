#include "driver/DriverShutdown.h"

#include "common/Messages.h"

namespace driver {
namespace {

constexpr std::intptr_t kBoardGoneCode = 0x119;

} // namespace

void AnnounceDriverClosing(Desktop& desktop, DriverState& state) {
    state.ResetForStartOrClose();
    if (state.connectNoticeSent == 0) return;
    desktop.PostToWindow(desktop.FindWindowByClass(wnd::kDrawingAppClass, wnd::kDrawingAppCaption),
                         msg::kBoardEvent, 0, kBoardGoneCode);
}

} // namespace driver
