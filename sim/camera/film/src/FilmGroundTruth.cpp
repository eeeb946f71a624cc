#include "fakecamera/FilmGroundTruth.h"

namespace fakecamera {

std::optional<FilmGroundTruth> FilmGroundTruth::FromText(std::string_view settingsText)
{
    const std::optional<FilmSettings> settings = ParseFilmSettings(settingsText);
    if (!settings) return std::nullopt;
    return FilmGroundTruth(*settings);
}

Point FilmGroundTruth::CameraPointOfPixel(int x, int y) const
{
    return model_.CameraPoint({x + 0.5, y + 0.5});
}

} // namespace fakecamera
