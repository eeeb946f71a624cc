#include "TestPicture.h"

namespace fakecamera {

namespace {

struct Colour {
    std::uint8_t blue, green, red;
};

Colour SceneAt(int x, int y, int width, int height, int dotX, int dotY, int dotRadius)
{
    // Board and its frame, in top-down picture coordinates.
    const int left = width * 3 / 20, right = width * 17 / 20;
    const int top = height * 3 / 16, bottom = height * 13 / 16;
    const int border = width / 80 + 1;
    const int dx = x - dotX, dy = y - dotY;
    if (dx * dx + dy * dy <= dotRadius * dotRadius) return {20, 120, 250};
    if (x >= left && x <= right && y >= top && y <= bottom) {
        if (x < left + border || x > right - border || y < top + border || y > bottom - border) return {40, 40, 40};
        if (x < left + width / 10 && y < top + height / 10) return {60, 190, 60};
        return {235, 240, 240};
    }
    const auto shade = static_cast<std::uint8_t>(90 + 60 * y / (height > 0 ? height : 1));
    return {shade, static_cast<std::uint8_t>(shade * 3 / 4), static_cast<std::uint8_t>(shade / 2)};
}

} // namespace

void PaintTestPicture(std::uint8_t* pixels, int width, int height, unsigned frameNumber)
{
    const int stride = (width * 3 + 3) & ~3;
    const int span = width * 6 / 10;
    const int travel = span > 0 ? static_cast<int>((frameNumber * 4u) % static_cast<unsigned>(2 * span)) : 0;
    const int dotX = width / 5 + (travel < span ? travel : 2 * span - travel);
    const int dotY = height / 2 + height / 6;
    const int dotRadius = width / 40 + 2;
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row; // rows run bottom-up
        std::uint8_t* pixel = pixels + row * stride;
        for (int x = 0; x < width; ++x, pixel += 3) {
            const Colour c = SceneAt(x, y, width, height, dotX, dotY, dotRadius);
            pixel[0] = c.blue;
            pixel[1] = c.green;
            pixel[2] = c.red;
        }
    }
}

} // namespace fakecamera
