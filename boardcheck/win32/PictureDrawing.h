#pragma once
// The picture of the board's screen drawn with GDI: into the window's
// picture control, and into a bitmap file beside a saved report.
#include "boardcheck/BoardPicture.h"

#include <windows.h>

#include <string>

namespace boardcheck {

// The colours, for whoever looks at a saved picture.
inline constexpr COLORREF kPictureBackground = RGB(64, 64, 64);
inline constexpr COLORREF kPictureScreen = RGB(240, 240, 236);
inline constexpr COLORREF kPictureDot = RGB(208, 32, 32);

void DrawBoardPicture(HDC dc, const RECT& area, const BoardPicture& picture);

// A 24-bit bitmap file of the picture at `width` x `height` pixels.
bool SavePictureBitmap(const std::wstring& path, const common::BoardStatus& status, int width, int height);

} // namespace boardcheck
