#include "driver/BoardScreen.h"

#include "common/AbsoluteCoordinate.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace driver {
namespace {

int Saturated(std::int64_t value)
{
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Within the rectangle's pixels; its far edges count as its last pixels.
ScreenPosition HeldWithin(ScreenPosition pixel, const common::PixelRect& rect)
{
    return {std::clamp(pixel.x, rect.left, std::max(rect.left, rect.right - 1)),
            std::clamp(pixel.y, rect.top, std::max(rect.top, rect.bottom - 1))};
}

// The same place in physical pixels: the pixel's offset within its monitor,
// scaled to the monitor's physical size.
int ToPhysical(int pixel, int from, int extent, int physicalFrom, int physicalExtent)
{
    if (extent <= 0) return physicalFrom;
    return Saturated(physicalFrom + static_cast<std::int64_t>(pixel - from) * physicalExtent / extent);
}

} // namespace

BoardScreen BoardScreen::PrimaryOnly(ScreenSize size)
{
    return Primary(size, common::SingleMonitorLayout(size.width, size.height));
}

BoardScreen BoardScreen::Primary(ScreenSize size, const common::DisplayLayout& layout)
{
    BoardScreen screen;
    screen.rect_ = {0, 0, size.width, size.height};
    screen.primary_ = true;
    if (const common::MonitorInfo* primary = layout.Primary()) screen.deviceName_ = primary->deviceName;
    screen.layout_ = layout;
    return screen;
}

BoardScreen BoardScreen::OnMonitor(const common::MonitorInfo& monitor, const common::DisplayLayout& layout)
{
    BoardScreen screen;
    screen.rect_ = monitor.rect;
    screen.primary_ = monitor.primary;
    screen.deviceName_ = monitor.deviceName;
    screen.layout_ = layout;
    return screen;
}

ScreenPosition BoardScreen::ToDesktop(ScreenPosition boardPixel) const
{
    return {Saturated(static_cast<std::int64_t>(boardPixel.x) + rect_.left),
            Saturated(static_cast<std::int64_t>(boardPixel.y) + rect_.top)};
}

AbsolutePosition BoardScreen::BoardAbsolute(ScreenPosition desktopPixel) const
{
    if (primary_) return OverPrimary(desktopPixel);
    return OverDesktop(HeldWithin(desktopPixel, rect_));
}

AbsolutePosition BoardScreen::DesktopAbsolute(ScreenPosition desktopPixel) const
{
    const bool onPrimary =
        desktopPixel.x >= 0 && desktopPixel.y >= 0 && desktopPixel.x <= rect_.right && desktopPixel.y <= rect_.bottom;
    if (primary_ && onPrimary) return OverPrimary(desktopPixel);
    return OverDesktop(desktopPixel);
}

AbsolutePosition BoardScreen::OverPrimary(ScreenPosition pixel) const
{
    return {0, common::AbsoluteCoordinate(pixel.x, rect_.Width()), common::AbsoluteCoordinate(pixel.y, rect_.Height())};
}

AbsolutePosition BoardScreen::OverDesktop(ScreenPosition pixel) const
{
    const common::PixelRect& desktop = layout_.physicalVirtualScreen;
    // The monitor that holds the pixel says where it is in physical pixels;
    // between monitors (or with none) the desktop itself does.
    const common::MonitorInfo* holder = nullptr;
    for (const common::MonitorInfo& monitor : layout_.monitors) {
        if (monitor.rect.Contains(pixel.x, pixel.y)) holder = &monitor;
    }
    const common::PixelRect& from = holder ? holder->rect : layout_.virtualScreen;
    const common::PixelRect& to = holder ? holder->physical : desktop;
    const int x = ToPhysical(pixel.x, from.left, from.Width(), to.left, to.Width());
    const int y = ToPhysical(pixel.y, from.top, from.Height(), to.top, to.Height());
    return {kVirtualDeskFlag, common::AbsoluteCoordinate(static_cast<std::int64_t>(x) - desktop.left, desktop.Width()),
            common::AbsoluteCoordinate(static_cast<std::int64_t>(y) - desktop.top, desktop.Height())};
}

bool BoardScreen::operator==(const BoardScreen& o) const
{
    return rect_ == o.rect_ && primary_ == o.primary_ && deviceName_ == o.deviceName_ &&
           standsInFor_ == o.standsInFor_ && layout_ == o.layout_;
}

BoardPlacement PlaceBoard(const common::DisplaySettings& settings, const common::DisplayLayout& layout,
                          ScreenSize primarySize)
{
    BoardPlacement placement;
    placement.settings = settings;
    placement.screen = BoardScreen::Primary(primarySize, layout);
    if (!settings.unknownValue.empty()) {
        placement.fellBack = true;
        placement.why = "no monitor goes by that name";
        placement.screen.SetStandsInFor(settings.unknownValue);
        return placement;
    }
    if (settings.IsDefault()) return placement;
    const common::MonitorInfo* chosen = common::ChooseMonitor(layout, settings);
    if (!chosen) {
        placement.fellBack = true;
        placement.why = "no monitor is \"" + settings.Text() + "\" now";
        placement.screen.SetStandsInFor(settings.Text());
        return placement;
    }
    if (!chosen->primary) placement.screen = BoardScreen::OnMonitor(*chosen, layout);
    return placement;
}

} // namespace driver
