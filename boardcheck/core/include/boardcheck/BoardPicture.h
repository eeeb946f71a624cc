#pragma once
// The small picture of the board's screen: the screen's shape fitted into
// the picture, and the contacts of the last seconds as dots where they
// landed on it. Contacts the calibration placed off the screen have no dot.
#include "common/BoardStatus.h"

#include <cstdint>
#include <vector>

namespace boardcheck {

struct PictureRect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct PictureDot {
    int x = 0, y = 0;
    std::uint32_t ageMs = 0; // older dots are drawn fainter
};

struct BoardPicture {
    PictureRect screen; // within the picture
    std::vector<PictureDot> dots;
};

// For a picture of `width` x `height` pixels.
BoardPicture PlaceContacts(const common::BoardStatus& status, int width, int height);

} // namespace boardcheck
