#pragma once
// The monitors of the desktop as the system reports them. Portable, so that
// the driver and the tools read one model of the desktop and what is chosen
// from it (DisplaySettings.h) is tested without a display.
#include "common/Geometry.h"

#include <string>
#include <vector>

namespace common {

struct MonitorInfo {
    std::string deviceName; // "\\.\DISPLAY2"; not stable across reboots and docking
    // In the program's own pixels: a program that is not DPI-aware, as the
    // suite's are, sees every monitor at its size divided by its scale factor.
    PixelRect rect;
    // The same monitor in physical pixels, where absolute mouse coordinates
    // over the whole desktop are counted; equal to `rect` without scaling.
    PixelRect physical;
    bool primary = false;

    bool operator==(const MonitorInfo& o) const
    {
        return deviceName == o.deviceName && rect == o.rect && physical == o.physical && primary == o.primary;
    }
};

struct DisplayLayout {
    std::vector<MonitorInfo> monitors;
    // The rectangle around every monitor (SM_XVIRTUALSCREEN and its kin), in
    // the program's own pixels and in physical pixels.
    PixelRect virtualScreen;
    PixelRect physicalVirtualScreen;

    // The primary monitor, or null in a layout that has none.
    const MonitorInfo* Primary() const;

    bool operator==(const DisplayLayout& o) const
    {
        return monitors == o.monitors && virtualScreen == o.virtualScreen &&
               physicalVirtualScreen == o.physicalVirtualScreen;
    }
};

// A desktop of one monitor of `width` x `height` at the origin.
DisplayLayout SingleMonitorLayout(int width, int height);

} // namespace common
