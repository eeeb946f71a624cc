#include "FilmedMeasurement.h"

#include "PatternScreen.h"

#include "calibration/CameraPicture.h"

#include "fakecamera/FilmCamera.h"
#include "fakecamera/FilmGroundTruth.h"

#include <cmath>

namespace calibration_bench {
namespace {

using calibration::CameraMeasurement;

constexpr std::uint32_t kStartMs = 1000;
// The measurement ends itself long before (it fails a pattern that does not
// settle within CameraMeasurement::kSettleMs); this only bounds a fault.
constexpr unsigned kMostFrames = 30 * 600;

} // namespace

FilmedMeasurement MeasureOnFilm(calibration::GridSize grid, const fakecamera::FilmSettings& settings)
{
    const fakecamera::ScreenSize board = settings.Screen();
    const calibration::TargetLayout layout(grid, {board.width, board.height});
    const fakecamera::FilmGroundTruth groundTruth(settings);
    const fakecamera::FrameSize size{calibration::kCameraPictureWidth, calibration::kCameraPictureHeight};
    fakecamera::FilmCamera camera(settings);
    PatternScreen screen(board.width, board.height);
    std::vector<std::uint8_t> frame(fakecamera::Rgb24Bytes(size));

    FilmedMeasurement filmed;
    filmed.truth.resize(static_cast<std::size_t>(layout.Count()));
    CameraMeasurement measurement(layout, kStartMs);
    unsigned painted = 0;
    const auto paintWhenChanged = [&](std::uint32_t nowMs) {
        if (measurement.Current() != CameraMeasurement::State::Measuring || measurement.PatternNumber() == painted)
            return;
        const calibration::ShownPattern& pattern = measurement.Pattern();
        screen.Paint(pattern);
        if (pattern.kind == calibration::ShownPattern::Kind::Target) {
            // The target's own place, which the measurement reports, not the
            // whole pixel its disc is painted on: a screen point (x, y) is
            // the centre of pixel (x, y), half a pixel in from its edges.
            const driver::Point place = layout.ScreenPoint(pattern.target);
            filmed.truth[static_cast<std::size_t>(pattern.target)] =
                groundTruth.CameraPointAt({place.x + 0.5, place.y + 0.5});
        }
        painted = measurement.PatternNumber();
        measurement.OnPatternShown(painted, nowMs);
    };

    paintWhenChanged(kStartMs);
    for (unsigned n = 1; measurement.Current() == CameraMeasurement::State::Measuring && n <= kMostFrames; ++n) {
        const auto nowMs = static_cast<std::uint32_t>(kStartMs + std::lround(n * kFilmFrameMs));
        const fakecamera::ScreenImage shown = screen.Image();
        camera.NextFrame(&shown, size, n, frame.data());
        ++filmed.frames;
        // DirectShow's RGB24, the bottom row first.
        measurement.OnFrame(calibration::GreyFromRgb24(frame.data(), frame.size(), size.width, size.height, true),
                            nowMs);
        paintWhenChanged(nowMs);
        measurement.OnTick(nowMs);
    }
    if (measurement.Current() == CameraMeasurement::State::Measuring) measurement.Cancel();

    filmed.state = measurement.Current();
    filmed.problem = measurement.Problem();
    filmed.problemTarget = measurement.ProblemTarget();
    filmed.grid = measurement.Result();
    filmed.elapsedMs = measurement.ElapsedMs();
    return filmed;
}

} // namespace calibration_bench
