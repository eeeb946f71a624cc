#pragma once
// How the fake camera films the board's monitor, as FakeCamera.ini beside
// the DLL says it. Without the file, or without its [Film] section, the
// camera shows its test picture instead.
//
//   [Film]
//   MODE=film            film | black | white | still
//   MONITOR_LEFT=1024    the desktop rectangle filmed, virtual-screen pixels
//   MONITOR_TOP=0        (the board's monitor; default 0, 0, 1024 x 768)
//   MONITOR_WIDTH=1280
//   MONITOR_HEIGHT=800
//   K1=-0.15             lens, see LensModel
//   K2=0
//   TOP_LEFT=-0.92,-0.62 the pose: where each corner of the screen falls in
//   TOP_RIGHT=0.95,-0.60   normalised camera coordinates, see CameraPose
//   BOTTOM_RIGHT=1.10,0.70
//   BOTTOM_LEFT=-1.06,0.72
//   UPSIDE_DOWN=0
//   BLUR=0.7             Gaussian sigma, picture pixels (of 320 x 240)
//   NOISE=2              sensor noise sigma, grey levels
//   SEED=1               of the noise: the same seed gives the same frames
//   ROOM=20              room light at the picture's left edge, grey levels
//   ROOM_GRADIENT=10     more room light at its right edge, grey levels
//   CONTRAST=200         a white screen pixel above the room light
//   DELAY=1              frames the picture lags the screen, 0..3
//
// Numbers are decimal with a '.'; a key that is missing or does not read as
// a number keeps its default, and values out of range are clamped.
#include "fakecamera/BoardCameraModel.h"

#include <optional>
#include <string_view>

namespace fakecamera {

// Beside the DLL, as FakeCamera.log is.
inline constexpr const char* kFilmSettingsFileName = "FakeCamera.ini";
inline constexpr int kMostDelayFrames = 3;

enum class FilmMode {
    Film,  // the picture follows the screen
    Black, // a covered lens: every pixel 0
    White, // a blinded camera: every pixel 255
    Still, // the first filmed frame, delivered for ever: a camera that froze
};

struct MonitorRect {
    int left = 0;
    int top = 0;
    int width = 1024;
    int height = 768;
};

struct FilmSettings {
    FilmMode mode = FilmMode::Film;
    MonitorRect monitor;
    LensModel lens;
    CameraPose pose;
    double blurSigma = 0.7; // picture pixels
    double noiseSigma = 2;  // grey levels
    unsigned seed = 1;
    double roomLight = 20;    // grey levels at the left edge
    double roomGradient = 10; // grey levels more at the right edge
    double contrast = 200;    // grey levels a white screen pixel adds
    int delayFrames = 1;

    ScreenSize Screen() const { return {monitor.width, monitor.height}; }
};

// The settings of a FakeCamera.ini text; nothing when it has no [Film]
// section (the camera then keeps its test picture).
std::optional<FilmSettings> ParseFilmSettings(std::string_view text);

// The model of the camera these settings describe.
BoardCameraModel CameraModelOf(const FilmSettings& settings);

} // namespace fakecamera
