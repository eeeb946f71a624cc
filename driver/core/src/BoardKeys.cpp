#include "driver/BoardKeys.h"

#include "common/Messages.h"

#include <string>

#include <array>
#include <cmath>

namespace driver {
namespace {

constexpr int kKeyCopyOffset = code::kKeyCopyOffset;
static_assert(kKeyCopyOffset * 2 == CCalibration::kKeyPoints, "every key has exactly two places");

constexpr unsigned kCountingPeriodMs = 500;
constexpr unsigned kCalibrationStartPauseMs = 200;

bool IsCountedKey(int key)
{
    return key >= code::kFirstCountedKey && key < code::kFirstCountedKey + code::kCountedKeys;
}

bool Hits(const Point& point, const Point& key, int tolerance)
{
    return std::fabs(point.x - key.x) <= tolerance && std::fabs(point.y - key.y) <= tolerance;
}

// Claims the one-shot permission; false when an action already ran during
// this contact.
bool Claim(std::atomic<bool>& armed)
{
    return armed.exchange(false);
}

} // namespace

bool HitsKeyPlace(const Point& screenPoint, const CalibrationView& calibration, int place)
{
    return calibration.KeyUsable(place) && Hits(screenPoint, calibration.KeyPoint(place), calibration.KeyTolerance());
}

int BoardKeyAt(const Point& screenPoint, const CalibrationView& calibration)
{
    for (int key = 0; key < kBoardKeyCount; ++key) {
        if (HitsKeyPlace(screenPoint, calibration, key) ||
            HitsKeyPlace(screenPoint, calibration, key + kKeyCopyOffset)) {
            return key;
        }
    }
    return -1;
}

bool BoardKeys::TryBoardKey(const Point& screenPoint, const CalibrationView& calibration)
{
    const int key = BoardKeyAt(screenPoint, calibration);
    if (key < 0) return false;
    if (IsCountedKey(key)) {
        CountPress(key - code::kFirstCountedKey, screenPoint, calibration);
    } else if (key == code::kCalibrationKey) {
        if (Claim(state_.actionArmed)) StartCalibration();
    } else if (Claim(state_.actionArmed)) {
        PostCommand(code::kKeyCommands[static_cast<std::size_t>(key)]);
    }
    return true;
}

void BoardKeys::PostCommand(int code)
{
    desktop_.PostToWindow(desktop_.FindWindowByClass(wnd::kDrawingAppClass, wnd::kDrawingAppCaption), msg::kBoardEvent,
                          static_cast<std::uintptr_t>(code), 0);
}

// In the half split the right half of the screen belongs to the socket's
// user, whose counted presses are kept apart (set B) from the local ones
// (set A) and reported with their own timer.
void BoardKeys::CountPress(int countedKey, const Point& screenPoint, const CalibrationView& calibration)
{
    const std::size_t index = static_cast<std::size_t>(countedKey);
    const int halfWidth = calibration.Screen().width / 2;
    const bool socketSide = screenPoint.x > halfWidth && state_.socketRouting == SocketRouting::HalfSplit;
    if (socketSide) {
        if (!Claim(state_.socketKeyArmed)) return;
        if (state_.boardKeyPressesB[index]++ == 0) desktop_.StartDriverTimer(kTimerSocketBoardKeys, kCountingPeriodMs);
        return;
    }
    if (!Claim(state_.actionArmed)) return;
    // The last counted key only means something to the main tool window.
    const bool needsMainTool = countedKey == code::kCountedKeys - 1;
    if (needsMainTool && desktop_.FindWindowByClass(wnd::kMainToolClass, nullptr) == 0) return;
    if (state_.boardKeyPressesA[index]++ == 0) desktop_.StartDriverTimer(kTimerPenAndBoardKeys, kCountingPeriodMs);
}

// The programs are looked for at every press: either may be installed or
// removed while the driver runs.
void BoardKeys::StartCalibration()
{
    settings_.WriteString("coordinate", "orient", "1");
    const std::string folder = desktop_.ProgramFolder();
    const common::CalibrationProgram program =
        common::ChooseCalibrationProgram(calibrationProgram_, desktop_.ProgramExists(folder, wnd::kCalibrationProgram),
                                         desktop_.ProgramExists(folder, wnd::kOwnCalibrationProgram));
    if (const char* file = common::CalibrationProgramFile(program)) {
        desktop_.OpenProgram(folder, file);
    } else {
        faults_.NoteF("Board key 12: neither %s nor %s is in %s; no calibration program was started.",
                      wnd::kCalibrationProgram, wnd::kOwnCalibrationProgram, folder.c_str());
    }
    desktop_.SleepMs(kCalibrationStartPauseMs);
}

} // namespace driver
