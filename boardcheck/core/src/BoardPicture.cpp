#include "boardcheck/BoardPicture.h"

#include <algorithm>

namespace boardcheck {

BoardPicture PlaceContacts(const common::BoardStatus& status, int width, int height)
{
    BoardPicture picture;
    // Without a screen size the shape of a common projector stands in.
    const int screenWidth = status.screenWidth > 0 ? status.screenWidth : 4;
    const int screenHeight = status.screenHeight > 0 ? status.screenHeight : 3;
    // Fitted whole, centred: a tall screen gets bars at the sides.
    const double scale = std::min(static_cast<double>(width) / screenWidth, static_cast<double>(height) / screenHeight);
    picture.screen.width = static_cast<int>(screenWidth * scale);
    picture.screen.height = static_cast<int>(screenHeight * scale);
    picture.screen.left = (width - picture.screen.width) / 2;
    picture.screen.top = (height - picture.screen.height) / 2;
    for (const common::StatusContact& contact : status.contacts) {
        if (!contact.onScreen || contact.released) continue;
        PictureDot dot;
        dot.x = picture.screen.left + static_cast<int>(contact.screenX * scale);
        dot.y = picture.screen.top + static_cast<int>(contact.screenY * scale);
        dot.x = std::clamp(dot.x, picture.screen.left, picture.screen.left + picture.screen.width - 1);
        dot.y = std::clamp(dot.y, picture.screen.top, picture.screen.top + picture.screen.height - 1);
        dot.ageMs = contact.ageMs;
        picture.dots.push_back(dot);
    }
    return picture;
}

} // namespace boardcheck
