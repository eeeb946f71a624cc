#include "PictureDrawing.h"

#include "common/UniqueHandle.h"

#include <algorithm>
#include <vector>

namespace boardcheck {
namespace {

constexpr int kDotRadius = 3;
constexpr std::uint32_t kFadeMs = 3000;

// Older dots fade towards the screen's colour, but never away.
COLORREF DotColour(std::uint32_t ageMs)
{
    const int weight = 255 - static_cast<int>(std::min<std::uint32_t>(ageMs, kFadeMs) * 180 / kFadeMs);
    const auto mix = [weight](int dot, int screen) { return (dot * weight + screen * (255 - weight)) / 255; };
    return RGB(mix(GetRValue(kPictureDot), GetRValue(kPictureScreen)),
               mix(GetGValue(kPictureDot), GetGValue(kPictureScreen)),
               mix(GetBValue(kPictureDot), GetBValue(kPictureScreen)));
}

void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    SetDCBrushColor(dc, colour);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

} // namespace

void DrawBoardPicture(HDC dc, const RECT& area, const BoardPicture& picture)
{
    Fill(dc, area, kPictureBackground);
    const RECT screen = {area.left + picture.screen.left, area.top + picture.screen.top,
                         area.left + picture.screen.left + picture.screen.width,
                         area.top + picture.screen.top + picture.screen.height};
    Fill(dc, screen, kPictureScreen);
    // The screen's edge, so that a light dialog does not swallow it.
    SetDCBrushColor(dc, kPictureBackground);
    FrameRect(dc, &screen, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    // Oldest first, so the newest lie on top.
    std::vector<PictureDot> dots = picture.dots;
    std::stable_sort(dots.begin(), dots.end(), [](const PictureDot& a, const PictureDot& b) { return a.ageMs > b.ageMs; });
    for (const PictureDot& dot : dots) {
        SetDCBrushColor(dc, DotColour(dot.ageMs));
        const int x = area.left + dot.x;
        const int y = area.top + dot.y;
        Ellipse(dc, x - kDotRadius, y - kDotRadius, x + kDotRadius + 1, y + kDotRadius + 1);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

bool SavePictureBitmap(const std::wstring& path, const common::BoardStatus& status, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as the file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) {
        DeleteDC(dc);
        return false;
    }
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT area = {0, 0, width, height};
    DrawBoardPicture(dc, area, PlaceContacts(status, width, height));
    GdiFlush();

    const DWORD rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + imageBytes;
    info.bmiHeader.biSizeImage = imageBytes;
    common::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    bool ok = file && WriteFile(file.Get(), &header, sizeof header, &written, nullptr) &&
              WriteFile(file.Get(), &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
              WriteFile(file.Get(), bits, imageBytes, &written, nullptr) && written == imageBytes;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return ok;
}

} // namespace boardcheck
