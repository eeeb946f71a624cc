#pragma once
// A copy of one rectangle of the desktop as it is shown now, as a top-down
// 32-bit bitmap: what the filming camera's lens sees. It holds the screen's
// device context, a memory one and the bitmap for as long as it lives; make
// and use it on one thread.
#include "fakecamera/CameraFrame.h"
#include "fakecamera/FilmSettings.h"

#include "common/UniqueHandle.h"

#include <windows.h>

namespace fakecamera {

struct ScreenDcTraits {
    using Handle = HDC;
    static HDC None() { return nullptr; }
    static bool Valid(HDC dc) { return dc != nullptr; }
    static void Close(HDC dc) { ReleaseDC(nullptr, dc); }
};
struct MemoryDcTraits {
    using Handle = HDC;
    static HDC None() { return nullptr; }
    static bool Valid(HDC dc) { return dc != nullptr; }
    static void Close(HDC dc) { DeleteDC(dc); }
};
struct BitmapTraits {
    using Handle = HBITMAP;
    static HBITMAP None() { return nullptr; }
    static bool Valid(HBITMAP bitmap) { return bitmap != nullptr; }
    static void Close(HBITMAP bitmap) { DeleteObject(bitmap); }
};

class ScreenGrab {
public:
    explicit ScreenGrab(const MonitorRect& rect);
    ~ScreenGrab();
    ScreenGrab(const ScreenGrab&) = delete;
    ScreenGrab& operator=(const ScreenGrab&) = delete;

    // The rectangle as it is now; null when the screen cannot be read.
    const ScreenImage* Take();

private:
    MonitorRect rect_;
    common::UniqueResource<ScreenDcTraits> screen_;
    common::UniqueResource<MemoryDcTraits> memory_;
    common::UniqueResource<BitmapTraits> bitmap_;
    HGDIOBJ replaced_ = nullptr; // the memory DC's own bitmap, put back before it goes
    ScreenImage image_;
};

} // namespace fakecamera
