#include "LiveView.h"

#include "camview/AlignmentOverlay.h"
#include "camview/FrameLayout.h"
#include "camview/HalfTurn.h"

#include <chrono>

namespace camview {

namespace {

constexpr int kViewWidth = 640;
constexpr int kViewHeight = 480;
constexpr auto kFramePause = std::chrono::milliseconds(50);
constexpr LONG kPixelsPerMetre = 3780;

BITMAPINFOHEADER DescribeBitmap(const FrameLayout& layout)
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = layout.width;
    header.biHeight = layout.height; // positive: rows run bottom-up
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(layout.imageBytes);
    header.biXPelsPerMeter = kPixelsPerMetre;
    header.biYPelsPerMeter = kPixelsPerMetre;
    return header;
}

} // namespace

void LiveView::Start()
{
    thread_.Start([this] { Run(); });
}

void LiveView::Run()
{
    CapturedFrame frame;
    while (thread_.Running()) {
        const GrabResult result = frames_.GrabFrame(frame, thread_.RunningFlag());
        if (result == GrabResult::Ended) break;
        if (result == GrabResult::Frame) Draw(frame);
        thread_.Pause(kFramePause);
    }
}

void LiveView::Draw(CapturedFrame& frame)
{
    // A frame that does not fill its stated size is not drawn at all.
    const auto layout = DescribeFrame(frame.width, frame.height, frame.bytes);
    if (!layout) return;
    std::uint8_t* pixels = frame.pixels.data();
    if (imageTurned_.load() == 1) TurnHalfCircle(pixels, *layout);
    DrawAlignmentOverlay(pixels, *layout);

    BITMAPINFO info{};
    info.bmiHeader = DescribeBitmap(*layout);
    HDC dc = GetDC(dialog_);
    if (!dc) return;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, kViewWidth, kViewHeight, 0, 0, layout->width, layout->height, pixels, &info, DIB_RGB_COLORS,
                  SRCCOPY);
    ReleaseDC(dialog_, dc);
}

} // namespace camview
