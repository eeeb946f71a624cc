#include "common/DisplayLayout.h"

namespace common {

const MonitorInfo* DisplayLayout::Primary() const
{
    for (const MonitorInfo& monitor : monitors) {
        if (monitor.primary) return &monitor;
    }
    return nullptr;
}

DisplayLayout SingleMonitorLayout(int width, int height)
{
    DisplayLayout layout;
    const PixelRect rect{0, 0, width, height};
    layout.monitors.push_back(MonitorInfo{"\\\\.\\DISPLAY1", rect, rect, true});
    layout.virtualScreen = rect;
    layout.physicalVirtualScreen = rect;
    return layout;
}

} // namespace common
