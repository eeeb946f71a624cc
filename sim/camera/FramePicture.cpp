#include "FramePicture.h"

#include "CallLog.h"
#include "ModuleFolder.h"
#include "TestPicture.h"

#include "common/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace fakecamera {
namespace {

constexpr DWORD kLargestSettingsFile = 64 * 1024;

const char* ModeName(FilmMode mode)
{
    switch (mode) {
    case FilmMode::Film: return "film";
    case FilmMode::Black: return "black";
    case FilmMode::White: return "white";
    case FilmMode::Still: return "still";
    }
    return "film";
}

} // namespace

std::optional<FilmSettings> ReadFilmSettings()
{
    const std::wstring path = FileBesideModule(L"FakeCamera.ini");
    const common::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string text(kLargestSettingsFile, '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), text.data(), kLargestSettingsFile, &read, nullptr)) return std::nullopt;
    text.resize(read);
    return ParseFilmSettings(text);
}

FramePicture::FramePicture(const std::optional<FilmSettings>& film)
{
    if (!film) return;
    camera_ = std::make_unique<FilmCamera>(*film);
    const MonitorRect& monitor = film->monitor;
    ModuleLog().Line(std::string("Film ") + ModeName(film->mode) + " " + std::to_string(monitor.width) + "x" +
                     std::to_string(monitor.height) + " at " + std::to_string(monitor.left) + "," +
                     std::to_string(monitor.top) + " delay " + std::to_string(film->delayFrames));
}

void FramePicture::Paint(std::uint8_t* pixels, FrameSize size, unsigned frameNumber)
{
    if (!camera_) {
        PaintTestPicture(pixels, size.width, size.height, frameNumber);
        return;
    }
    const ScreenImage* screen = nullptr;
    if (camera_->WantsScreen(size)) {
        if (!grab_) grab_ = std::make_unique<ScreenGrab>(camera_->Settings().monitor);
        screen = grab_->Take();
    }
    camera_->NextFrame(screen, size, frameNumber, pixels);
}

} // namespace fakecamera
