#include "fakecamera/FilmSettings.h"

#include "common/IniDocument.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

namespace fakecamera {
namespace {

constexpr std::string_view kSection = "Film";
constexpr std::size_t kValueChars = 260;

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// As the profile functions find a section: "[name]" on a line of its own,
// blanks around the line and around the name not counting.
bool HasSection(std::string_view text, std::string_view name)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = common::TrimProfileName(text.substr(start, end - start));
        const std::size_t close = line.rfind(']');
        if (!line.empty() && line.front() == '[' && close != std::string_view::npos &&
            SameName(common::TrimProfileName(line.substr(1, close - 1)), name))
            return true;
        start = end + 1;
    }
    return false;
}

// A number that is the whole of the text, blanks aside.
bool ReadNumber(std::string_view text, double& number)
{
    const std::string value(common::TrimProfileName(text));
    if (value.empty()) return false;
    char* end = nullptr;
    const double read = std::strtod(value.c_str(), &end);
    if (end != value.c_str() + value.size()) return false;
    number = read;
    return true;
}

class FilmKeys {
public:
    explicit FilmKeys(std::string_view text)
        : document_(text)
    {}

    void Number(std::string_view key, double& number, double least, double most) const
    {
        double read = 0;
        if (const auto value = document_.Find(kSection, key, kValueChars); value && ReadNumber(*value, read))
            number = std::clamp(read, least, most);
    }

    void Whole(std::string_view key, int& number, int least, int most) const
    {
        double read = number;
        Number(key, read, least, most);
        number = static_cast<int>(read);
    }

    // "x,y"
    void Corner(std::string_view key, Point& corner) const
    {
        const auto value = document_.Find(kSection, key, kValueChars);
        if (!value) return;
        const std::size_t comma = value->find(',');
        Point read;
        if (comma == std::string::npos || !ReadNumber(std::string_view(*value).substr(0, comma), read.x) ||
            !ReadNumber(std::string_view(*value).substr(comma + 1), read.y))
            return;
        corner = read;
    }

    void Mode(FilmMode& mode) const
    {
        const auto value = document_.Find(kSection, "MODE", kValueChars);
        if (!value) return;
        const std::string_view name = common::TrimProfileName(*value);
        if (SameName(name, "film")) mode = FilmMode::Film;
        if (SameName(name, "black")) mode = FilmMode::Black;
        if (SameName(name, "white")) mode = FilmMode::White;
        if (SameName(name, "still")) mode = FilmMode::Still;
    }

private:
    common::IniDocument document_;
};

} // namespace

std::optional<FilmSettings> ParseFilmSettings(std::string_view text)
{
    if (!HasSection(text, kSection)) return std::nullopt;
    const FilmKeys keys(text);
    FilmSettings settings;
    keys.Mode(settings.mode);
    constexpr int kFarthest = 1 << 20; // a virtual screen is never larger
    keys.Whole("MONITOR_LEFT", settings.monitor.left, -kFarthest, kFarthest);
    keys.Whole("MONITOR_TOP", settings.monitor.top, -kFarthest, kFarthest);
    keys.Whole("MONITOR_WIDTH", settings.monitor.width, 1, kFarthest);
    keys.Whole("MONITOR_HEIGHT", settings.monitor.height, 1, kFarthest);
    keys.Number("K1", settings.lens.k1, -1, 1);
    keys.Number("K2", settings.lens.k2, -1, 1);
    keys.Corner("TOP_LEFT", settings.pose.topLeft);
    keys.Corner("TOP_RIGHT", settings.pose.topRight);
    keys.Corner("BOTTOM_RIGHT", settings.pose.bottomRight);
    keys.Corner("BOTTOM_LEFT", settings.pose.bottomLeft);
    int upsideDown = settings.pose.upsideDown ? 1 : 0;
    keys.Whole("UPSIDE_DOWN", upsideDown, 0, 1);
    settings.pose.upsideDown = upsideDown != 0;
    keys.Number("BLUR", settings.blurSigma, 0, 10);
    keys.Number("NOISE", settings.noiseSigma, 0, 100);
    double seed = settings.seed;
    keys.Number("SEED", seed, 0, 4294967295.0);
    settings.seed = static_cast<unsigned>(seed);
    keys.Number("ROOM", settings.roomLight, 0, 255);
    keys.Number("ROOM_GRADIENT", settings.roomGradient, -255, 255);
    keys.Number("CONTRAST", settings.contrast, 0, 255);
    keys.Whole("DELAY", settings.delayFrames, 0, kMostDelayFrames);
    return settings;
}

BoardCameraModel CameraModelOf(const FilmSettings& settings)
{
    return BoardCameraModel(settings.Screen(), settings.lens, settings.pose);
}

} // namespace fakecamera
