#include "calibration/CameraPicture.h"

namespace calibration {

CameraPicture GreyFromRgb24(const std::uint8_t* pixels, std::size_t bytes, int width, int height, bool bottomUp)
{
    CameraPicture picture;
    if (!pixels || width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) return picture;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    // The last row needs only its pixels, not its padding: some drivers
    // hand over the image without the final row's padding.
    const std::size_t needed = stride * static_cast<std::size_t>(height - 1) + static_cast<std::size_t>(width) * 3;
    if (bytes < needed) return picture;
    picture.width = width;
    picture.height = height;
    picture.grey.resize(picture.Size());
    for (int y = 0; y < height; ++y) {
        const int source = bottomUp ? height - 1 - y : y;
        const std::uint8_t* row = pixels + stride * static_cast<std::size_t>(source);
        std::uint8_t* out = picture.grey.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x, row += 3) {
            // Luma by the usual weights (B, G, R), in integers of 1/256.
            out[x] = static_cast<std::uint8_t>((29u * row[0] + 150u * row[1] + 77u * row[2] + 128u) >> 8);
        }
    }
    return picture;
}

Point CameraPointOf(Point picturePosition, int width, int height)
{
    if (width <= 0 || height <= 0) return {};
    return {picturePosition.x * (kCameraPictureWidth * 10.0) / width,
            picturePosition.y * (kCameraPictureHeight * 10.0) / height};
}

} // namespace calibration
