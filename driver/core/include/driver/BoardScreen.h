#pragma once
// The monitor the board is projected on, and the one place that turns the
// calibration's points into what the outputs send. The calibration maps
// camera points to the board's own pixels (0..W x 0..H of this monitor), in
// which the gestures, the board keys and the half split work; the outputs
// ask this class for the rest:
//
//   desktop pixels  the board's pixel plus the monitor's origin (the cursor,
//                   the touch socket's packets, touch injection)
//   absolute input  on the primary screen as always: 0..65535 over the
//                   primary screen, no further flag; on another monitor:
//                   MOUSEEVENTF_VIRTUALDESK, 0..65535 over the whole desktop
//                   in physical pixels, the board's pixel placed at the same
//                   fraction of the monitor's physical rectangle, so that a
//                   monitor with a scale factor of its own is met on the spot
//   TUIO            fractions of the monitor (the tracker's x / W)
//
// A value: a reload resolves a new one and publishes it with the model it
// was loaded for, whole.
#include "common/DisplayLayout.h"
#include "common/DisplaySettings.h"
#include "driver/Desktop.h"

#include <cstdint>
#include <string>
#include <utility>

namespace driver {

inline constexpr std::uint32_t kVirtualDeskFlag = 0x4000; // MOUSEEVENTF_VIRTUALDESK

struct AbsolutePosition {
    std::uint32_t extraFlags = 0; // kVirtualDeskFlag or 0
    int ax = 0;
    int ay = 0;
};

class BoardScreen {
public:
    // No screen at all: nothing can be injected.
    BoardScreen() = default;
    // The primary screen of `size` on a desktop of that one monitor: the
    // driver as it always was.
    static BoardScreen PrimaryOnly(ScreenSize size);
    // The primary screen of `size` (as the system metrics give it) on the
    // desktop `layout`.
    static BoardScreen Primary(ScreenSize size, const common::DisplayLayout& layout);
    // `monitor` of `layout`, chosen by the settings.
    static BoardScreen OnMonitor(const common::MonitorInfo& monitor, const common::DisplayLayout& layout);

    // W x H: the calibration is built for this size.
    ScreenSize Size() const { return {rect_.Width(), rect_.Height()}; }
    bool HasScreen() const { return rect_.Width() > 0 && rect_.Height() > 0; }
    bool IsPrimary() const { return primary_; }
    // In desktop pixels.
    const common::PixelRect& Rect() const { return rect_; }
    ScreenPosition Origin() const { return {rect_.left, rect_.top}; }
    const std::string& DeviceName() const { return deviceName_; }
    // The [Display] choice this primary screen stands in for, because that
    // monitor is not there; empty when the board is where it was chosen.
    const std::string& StandsInFor() const { return standsInFor_; }
    void SetStandsInFor(std::string choice) { standsInFor_ = std::move(choice); }
    const common::DisplayLayout& Layout() const { return layout_; }

    // A pixel of the board to the desktop.
    ScreenPosition ToDesktop(ScreenPosition boardPixel) const;

    // The board's own events, at a desktop pixel of the board: held within
    // the board's monitor.
    AbsolutePosition BoardAbsolute(ScreenPosition desktopPixel) const;
    // A desktop pixel anywhere (the cursor, for the pen buttons' clicks):
    // over the primary screen as always while the board is on it and the
    // pixel too; over the whole desktop otherwise.
    AbsolutePosition DesktopAbsolute(ScreenPosition desktopPixel) const;

    // Same monitor, same place, same desktop.
    bool operator==(const BoardScreen& o) const;
    bool operator!=(const BoardScreen& o) const { return !(*this == o); }

private:
    AbsolutePosition OverPrimary(ScreenPosition desktopPixel) const;
    AbsolutePosition OverDesktop(ScreenPosition desktopPixel) const;

    common::PixelRect rect_;
    bool primary_ = true;
    std::string deviceName_;
    std::string standsInFor_;
    common::DisplayLayout layout_;
};

// Which monitor the board is on, resolved again at every load: the settings,
// the layout the desktop has now, and whether the choice had to fall back to
// the primary screen (and why, for the support log).
struct BoardPlacement {
    BoardScreen screen;
    common::DisplaySettings settings;
    bool fellBack = false;
    std::string why; // empty unless fellBack
};

BoardPlacement PlaceBoard(const common::DisplaySettings& settings, const common::DisplayLayout& layout,
                          ScreenSize primarySize);

} // namespace driver
