#pragma once
// The plain geometry every part of the suite shares: points, pixel positions
// and sizes, and rectangles of pixels. Nothing here knows a screen, a
// setting or the system, so a header that needs only a point includes only
// this.
namespace common {

// A point in doubles: camera units before the calibration's mapping, screen
// pixels after it.
struct Point {
    double x = 0;
    double y = 0;
};

struct ScreenPosition {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPosition& other) const { return x == other.x && y == other.y; }
};

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// Pixels; right and bottom are exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const PixelRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const PixelRect& o) const { return !(*this == o); }
};

} // namespace common
