#include "driver/BoardMonitor.h"

#include "common/DisplaySettings.h"

namespace driver {

BoardPlacement BoardMonitor::Place()
{
    settings_ = common::ReadDisplaySettings({settingsInForce_, programFolderCopy_, policies_});
    return PlaceOnCurrentDesktop();
}

BoardPlacement BoardMonitor::PlaceOnCurrentDesktop()
{
    const BoardPlacement placement = PlaceBoard(settings_, desktop_.Monitors(), desktop_.PrimaryScreenSize());
    NoteChange(placement);
    return placement;
}

void BoardMonitor::NoteChange(const BoardPlacement& placement)
{
    const BoardScreen& screen = placement.screen;
    const bool same = noted_ && fellBack_ == placement.fellBack && why_ == placement.why &&
                      device_ == screen.DeviceName() && rect_ == screen.Rect();
    // The primary screen by choice is the driver as it always was: nothing to say.
    const bool ordinary = !noted_ && placement.settings.IsDefault() && !placement.fellBack;
    noted_ = true;
    fellBack_ = placement.fellBack;
    why_ = placement.why;
    device_ = screen.DeviceName();
    rect_ = screen.Rect();
    if (same || ordinary) return;
    const common::PixelRect& r = screen.Rect();
    if (placement.fellBack) {
        // An unknown value is named as it was written, not as the primary screen that stands in.
        const common::DisplaySettings& chosen = placement.settings;
        const std::string named = chosen.unknownValue.empty() ? chosen.Text() : chosen.unknownValue;
        faults_.NoteF("[%s] %s=%s: %s; the board is on the primary screen (%d x %d) until it is there.",
                      common::kDisplaySection, common::kMonitorKey, named.c_str(), placement.why.c_str(), r.Width(),
                      r.Height());
    } else {
        faults_.NoteF("[%s] %s=%s: the board is on monitor %s, %d x %d at (%d, %d).", common::kDisplaySection,
                      common::kMonitorKey, placement.settings.Text().c_str(), screen.DeviceName().c_str(), r.Width(),
                      r.Height(), r.left, r.top);
    }
}

} // namespace driver
