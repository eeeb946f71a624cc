#pragma once
// Where the fake camera truly sees each pixel of the monitor it films, from
// the same FakeCamera.ini text the camera reads: what a test compares a
// calibration's findings with. Screen pixels are the filmed monitor's own
// (0, 0 at its upper-left corner); see BoardCameraModel.h for the
// conventions of screen points, picture positions and camera points.
#include "fakecamera/BoardCameraModel.h"
#include "fakecamera/FilmSettings.h"

#include <optional>
#include <string_view>

namespace fakecamera {

class FilmGroundTruth {
public:
    explicit FilmGroundTruth(const FilmSettings& settings)
        : model_(CameraModelOf(settings))
    {}

    // Nothing when the text has no [Film] section.
    static std::optional<FilmGroundTruth> FromText(std::string_view settingsText);

    // The camera point (picture pixels x 10) of the centre of screen pixel
    // (x, y): where a disc drawn centred on that pixel appears.
    Point CameraPointOfPixel(int x, int y) const;
    // The camera point of any screen point (pixel edges at whole numbers).
    Point CameraPointAt(const Point& screen) const { return model_.CameraPoint(screen); }

    const BoardCameraModel& Model() const { return model_; }

private:
    BoardCameraModel model_;
};

} // namespace fakecamera
