#pragma once
// Kalmeno's texts: each from section [Kalmeno] of Language.ini beside the
// program, or, where the file, the section or the key is missing, the
// English text built in here, so that a teacher at the board never reads
// a placeholder. A text may hold %1 ... %9, filled in with what the run
// found, so that each language puts them where its sentences want them.
#include <map>
#include <string>
#include <vector>

namespace calibration {

namespace texts {

inline constexpr const char* kSection = "Kalmeno";

inline constexpr const char* kCaption = "IDS_TOTEL";
inline constexpr const char* kConnecting = "IDS_CONNECTING";
inline constexpr const char* kTarget = "IDS_TARGET";
inline constexpr const char* kGridHint = "IDS_GRIDHINT";
inline constexpr const char* kKey = "IDS_KEY";
inline constexpr const char* kKeyHint = "IDS_KEYHINT";
inline constexpr const char* kCheck = "IDS_CHECK";
inline constexpr const char* kCheckHint = "IDS_CHECKHINT";
inline constexpr const char* kCheckOnlyHint = "IDS_CHECKONLYHINT";
inline constexpr const char* kKeysHelp = "IDS_HELP";
inline constexpr const char* kTooShort = "IDS_TOOSHORT";
inline constexpr const char* kMoved = "IDS_MOVED";
inline constexpr const char* kOutsideCamera = "IDS_OUTSIDE";
inline constexpr const char* kFarFromTarget = "IDS_FAR";
inline constexpr const char* kOnEarlierSpot = "IDS_EARLIER";
inline constexpr const char* kRetakeTargets = "IDS_RETAKE";
inline constexpr const char* kRetakeKeys = "IDS_RETAKEKEYS";
inline constexpr const char* kUndone = "IDS_UNDONE";
inline constexpr const char* kSaving = "IDS_SAVING";
inline constexpr const char* kSettingsFile = "IDS_FILE";
inline constexpr const char* kOwnCopy = "IDS_OWNCOPY";
inline constexpr const char* kResult = "IDS_RESULT";
inline constexpr const char* kResultMissed = "IDS_RESULTMISSED";
inline constexpr const char* kGood = "IDS_GOOD";
inline constexpr const char* kRecalibrate = "IDS_RECALIBRATE";
inline constexpr const char* kCloseHint = "IDS_CLOSEHINT";
inline constexpr const char* kIdle = "IDS_IDLE";
inline constexpr const char* kDisplayChanged = "IDS_DISPLAYCHANGED";
inline constexpr const char* kDriverNotRunning = "IDS_NODRIVER";
inline constexpr const char* kPipeNotOffered = "IDS_NOPIPE";
inline constexpr const char* kPipeBroken = "IDS_PIPEBROKEN";
inline constexpr const char* kDriverGone = "IDS_DRIVERGONE";
inline constexpr const char* kRecordsStopped = "IDS_NORECORDS";
inline constexpr const char* kNothingChanged = "IDS_NOTHINGCHANGED";
inline constexpr const char* kGridKept = "IDS_GRIDKEPT";
inline constexpr const char* kNotSound = "IDS_NOTSOUND";
inline constexpr const char* kWriteFailed = "IDS_WRITEFAILED";
inline constexpr const char* kUnreadable = "IDS_UNREADABLE";
inline constexpr const char* kNoCalibration = "IDS_NOCALIBRATION";
inline constexpr const char* kNoWindow = "IDS_NOWINDOW";
inline constexpr const char* kChoice = "IDS_CHOICE";
inline constexpr const char* kChoiceHint = "IDS_CHOICEHINT";
inline constexpr const char* kStopHelp = "IDS_STOPHELP";
inline constexpr const char* kCameraProgress = "IDS_CAMPROGRESS";
inline constexpr const char* kCameraNoPictures = "IDS_CAMNOPICTURES";
inline constexpr const char* kCameraTooDark = "IDS_CAMTOODARK";
inline constexpr const char* kCameraTooBright = "IDS_CAMTOOBRIGHT";
inline constexpr const char* kCameraDoesNotFollow = "IDS_CAMBLIND";
inline constexpr const char* kCameraTargetNotFound = "IDS_CAMNOTARGET";
inline constexpr const char* kCameraNotSound = "IDS_CAMNOTSOUND";
inline constexpr const char* kCameraUnavailable = "IDS_CAMUNAVAILABLE";
inline constexpr const char* kConfirmHint = "IDS_CONFIRMHINT";
inline constexpr const char* kUntrusted = "IDS_UNTRUSTED";
inline constexpr const char* kUntrustedHelp = "IDS_UNTRUSTEDHELP";

// The name of board key n (0..13), by what it does.
const char* KeyName(int key);

} // namespace texts

// Every key the program reads, in the order a translator meets them.
const std::vector<std::string>& KalmenoTextKeys();

// The built-in English text of `key`; empty for a key the program never reads.
std::string EnglishText(const std::string& key);

class KalmenoTexts {
public:
    // What the strings file answered for `key` ("GetError" or an empty
    // text stands for no answer).
    void Set(const std::string& key, std::string text);
    // The file's text of `key`, else the English one.
    std::string Get(const std::string& key) const;
    // The text with %1 ... filled in from `values`; a %n without a value stays.
    std::string Fill(const std::string& key, const std::vector<std::string>& values) const;

private:
    std::map<std::string, std::string> texts_;
};

} // namespace calibration
