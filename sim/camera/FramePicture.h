#pragma once
// What each delivered frame shows: the test picture, or, when FakeCamera.ini
// says so, the board's monitor as the modelled camera films it. Owned by the
// streaming thread, which alone paints (the screen grab lives on it).
#include "ScreenGrab.h"

#include "fakecamera/FilmCamera.h"
#include "fakecamera/FilmSettings.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace fakecamera {

class FramePicture {
public:
    explicit FramePicture(const std::optional<FilmSettings>& film);

    void Paint(std::uint8_t* pixels, FrameSize size, unsigned frameNumber);

private:
    std::unique_ptr<FilmCamera> camera_; // none: the test picture
    std::unique_ptr<ScreenGrab> grab_;   // made at the first frame that films
};

// The film settings of FakeCamera.ini beside the DLL; none without the file
// or its [Film] section.
std::optional<FilmSettings> ReadFilmSettings();

} // namespace fakecamera
