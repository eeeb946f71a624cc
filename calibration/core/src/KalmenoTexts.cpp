#include "calibration/KalmenoTexts.h"

#include "calibration/BoardKeySpots.h"
#include "common/TextFill.h"

#include <array>
#include <utility>

namespace calibration {
namespace {

struct EnglishEntry {
    const char* key;
    const char* text;
};

// The section "Kalmeno" of the shipped English Language.ini says the same.
constexpr EnglishEntry kEnglish[] = {
    {texts::kCaption, "Kalmeno - Calibrate the Board"},
    {texts::kConnecting, "Connecting to the board..."},
    {texts::kTarget, "Target %1 of %2"},
    {texts::kGridHint, "Touch the centre of the cross with the pen and hold it still until the next cross appears."},
    {texts::kKey, "Board key %1 of %2: %3"},
    {texts::kKeyHint, "Touch the key printed on the board that does this, and hold the pen still on it until the "
                      "next key is named."},
    {texts::kCheck, "Check %1 of %2"},
    {texts::kCheckHint, "The calibration is saved. Touch these last crosses to check it."},
    {texts::kCheckOnlyHint, "Touch each cross to check the calibration in use."},
    {texts::kKeysHelp, "Esc: stop    Backspace: take the last point back"},
    {texts::kTooShort, "Too short: hold the pen still on the cross a moment longer."},
    {texts::kMoved, "The pen moved: hold it still on the cross."},
    {texts::kOutsideCamera, "The camera cannot see that spot: touch inside the picture."},
    {texts::kFarFromTarget, "That was not this cross: touch the one shown."},
    {texts::kOnEarlierSpot, "That spot was already touched for another point."},
    {texts::kRetakeTargets, "These points did not fit the others: touch %1 again."},
    {texts::kRetakeKeys, "These keys cannot be used as touched: touch %1 again."},
    {texts::kUndone, "The last point was taken back: touch it again."},
    {texts::kSaving, "Saving the calibration..."},
    {texts::kSettingsFile, "Settings file: %1"},
    {texts::kOwnCopy, "This calibration holds for you alone: other users of this PC keep their own."},
    {texts::kResult, "Point %1: %2 px off"},
    {texts::kResultMissed, "Point %1: off the screen"},
    {texts::kGood, "Good: the pen lands where you touch."},
    {texts::kRecalibrate, "Recalibrate: the pen lands up to %1 px away from where you touch. Please calibrate "
                          "again."},
    {texts::kCloseHint, "Touch the board or press a key to close."},
    {texts::kIdle, "No touch came for a minute, so the calibration stopped."},
    {texts::kDisplayChanged, "The display changed, so the targets no longer lie where they were shown."},
    {texts::kDriverNotRunning, "The board driver is not running. Start it, then calibrate again."},
    {texts::kPipeNotOffered, "The board driver did not hand over the board's touches. Try again in a moment."},
    {texts::kPipeBroken, "The board driver stopped handing over the board's touches."},
    {texts::kDriverGone, "The board driver ended."},
    {texts::kRecordsStopped, "The board's touches stopped coming from the board driver."},
    {texts::kNothingChanged, "Nothing was changed."},
    {texts::kGridKept, "The new calibration is saved and in use."},
    {texts::kNotSound, "The touches do not make a usable calibration. Please calibrate again."},
    {texts::kWriteFailed, "The settings file could not be written: %1"},
    {texts::kUnreadable, "The settings file could not be read: %1"},
    {texts::kNoCalibration, "There is no calibration to check in %1. Please calibrate first."},
    {texts::kNoWindow, "The calibration window could not be opened. Nothing was changed."},
    {texts::kChoice, "How shall the board be calibrated?"},
    {texts::kChoiceHint, "Enter: calibrate automatically with the camera    T: calibrate by touch"},
    {texts::kStopHelp, "Esc: stop"},
    {texts::kCameraProgress, "Camera calibration: target %1 of %2"},
    {texts::kCameraNoPictures, "The camera sends no pictures: is it plugged in, and not in use by another "
                               "program?"},
    {texts::kCameraTooDark, "The camera's picture is too dark to see the projected picture: is its lens covered?"},
    {texts::kCameraTooBright, "The camera's picture is too bright: does a lamp or the sun shine into it?"},
    {texts::kCameraDoesNotFollow, "The camera cannot see the projected picture: is it the board camera, is its lens "
                                  "covered or does it have an infrared filter?"},
    {texts::kCameraTargetNotFound, "The camera could not find target %1: is that part of the board in its view and "
                                   "free of glare?"},
    {texts::kCameraNotSound, "The camera's points do not make a usable calibration: please calibrate by touch."},
    {texts::kCameraUnavailable, "The camera could not be used: calibrate by touch instead."},
    {texts::kConfirmHint, "Touch the cross once to confirm the automatic calibration."},
    {texts::kUntrusted, "The touch landed %1 px away: the automatic calibration is not used and the old one is "
                        "back. Press Enter to calibrate by touch."},
    {texts::kUntrustedHelp, "Enter: calibrate by touch    Esc: close"},
    {"IDS_KEY0", "New page"},
    {"IDS_KEY1", "Save"},
    {"IDS_KEY2", "Previous page"},
    {"IDS_KEY3", "Next page"},
    {"IDS_KEY4", "Tool 1 (press once or twice)"},
    {"IDS_KEY5", "Tool 2 (press once or twice)"},
    {"IDS_KEY6", "Tool 3 (press once or twice)"},
    {"IDS_KEY7", "Tool 4 (press once or twice)"},
    {"IDS_KEY8", "Tool 5 (press once or twice)"},
    {"IDS_KEY9", "Tool 6 (press once or twice)"},
    {"IDS_KEY10", "Drawing command 48"},
    {"IDS_KEY11", "Drawing command 49"},
    {"IDS_KEY12", "Calibrate (this program)"},
    {"IDS_KEY13", "Tool window"},
};

constexpr std::array<const char*, kBoardKeys> kKeyNames = {
    "IDS_KEY0", "IDS_KEY1", "IDS_KEY2",  "IDS_KEY3",  "IDS_KEY4",  "IDS_KEY5",  "IDS_KEY6",
    "IDS_KEY7", "IDS_KEY8", "IDS_KEY9",  "IDS_KEY10", "IDS_KEY11", "IDS_KEY12", "IDS_KEY13",
};

bool Answered(const std::string& text)
{
    return !text.empty() && text != "GetError";
}

} // namespace

const char* texts::KeyName(int key)
{
    return key >= 0 && key < kBoardKeys ? kKeyNames[static_cast<std::size_t>(key)] : "";
}

const std::vector<std::string>& KalmenoTextKeys()
{
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> all;
        for (const EnglishEntry& entry : kEnglish) all.push_back(entry.key);
        return all;
    }();
    return keys;
}

std::string EnglishText(const std::string& key)
{
    for (const EnglishEntry& entry : kEnglish)
        if (key == entry.key) return entry.text;
    return {};
}

void KalmenoTexts::Set(const std::string& key, std::string text)
{
    if (Answered(text)) texts_[key] = std::move(text);
    else texts_.erase(key);
}

std::string KalmenoTexts::Get(const std::string& key) const
{
    const auto found = texts_.find(key);
    return found != texts_.end() ? found->second : EnglishText(key);
}

std::string KalmenoTexts::Fill(const std::string& key, const std::vector<std::string>& values) const
{
    return common::FillIn(Get(key), values);
}

} // namespace calibration
