#pragma once
// Owners of the drawing objects the window makes while it paints, so that
// every pen, brush, font, bitmap and memory device context goes back to the
// system whichever way a paint ends.
#include "common/UniqueHandle.h"

#include <windows.h>

namespace kalmeno {

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static HGDIOBJ None() { return nullptr; }
    static bool Valid(HGDIOBJ object) { return object != nullptr; }
    static void Close(HGDIOBJ object) { DeleteObject(object); }
};
using UniqueGdiObject = common::UniqueResource<GdiObjectTraits>;

struct MemoryDcTraits {
    using Handle = HDC;
    static HDC None() { return nullptr; }
    static bool Valid(HDC dc) { return dc != nullptr; }
    static void Close(HDC dc) { DeleteDC(dc); }
};
using UniqueMemoryDc = common::UniqueResource<MemoryDcTraits>;

// An object selected into a device context while this lives; the one it
// replaced goes back in at the end, before either may be deleted.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object)
        : dc_(dc),
          old_(SelectObject(dc, object))
    {}
    ~Selection() { SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint to EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND window)
        : window_(window),
          dc_(BeginPaint(window, &paint_))
    {}
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_;
};

} // namespace kalmeno
