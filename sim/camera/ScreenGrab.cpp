#include "ScreenGrab.h"

namespace fakecamera {

ScreenGrab::ScreenGrab(const MonitorRect& rect)
    : rect_(rect),
      screen_(GetDC(nullptr))
{
    if (!screen_) return;
    memory_.Reset(CreateCompatibleDC(screen_.Get()));
    if (!memory_) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = rect.width;
    info.bmiHeader.biHeight = -rect.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(memory_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) return;
    replaced_ = SelectObject(memory_.Get(), bitmap_.Get());
    image_.pixels = static_cast<const std::uint8_t*>(bits);
    image_.width = rect.width;
    image_.height = rect.height;
    image_.bytesPerPixel = 4;
    image_.stride = static_cast<std::size_t>(rect.width) * 4;
}

ScreenGrab::~ScreenGrab()
{
    // The bitmap cannot be deleted while a DC holds it.
    if (replaced_) SelectObject(memory_.Get(), replaced_);
}

const ScreenImage* ScreenGrab::Take()
{
    if (!image_.pixels) return nullptr;
    if (!BitBlt(memory_.Get(), 0, 0, rect_.width, rect_.height, screen_.Get(), rect_.left, rect_.top, SRCCOPY))
        return nullptr;
    GdiFlush(); // the bits are read directly
    return &image_;
}

} // namespace fakecamera
