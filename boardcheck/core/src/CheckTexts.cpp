#include "boardcheck/CheckTexts.h"

namespace boardcheck {
namespace {

struct EnglishText {
    const char* key;
    const char* text;
};

// Texts that came after the first Language.ini, in English: a Language.ini
// of an earlier release beside this check still gives each of them words.
// The shipped English Language.ini says the same.
constexpr EnglishText kLaterTexts[] = {
    {"IDS_SMOOTHING", "Smoothing:"},
    {"IDS_BTNRELOAD", "Read settings again"},
    {"IDS_VERDICTNODRIVER", "The board driver is not running: start it (log off and on, or Start menu)"},
    {"IDS_VERDICTSILENT", "The board driver does not answer: it hangs or runs elevated; log off and on"},
    {"IDS_VERDICTCHECKING", "Checking the board..."},
    {"IDS_VERDICTNOSERVICE", "The camera service is not running: plug the camera in again, or log off and on"},
    {"IDS_VERDICTNORECORDS", "The camera service sends nothing: is the camera plugged in?"},
    {"IDS_VERDICTNOCALIBRATION", "The calibration did not load: calibrate the board"},
    {"IDS_VERDICTMONITOR", "The board is on a monitor that is not there (%1): the main display stands in for it"},
    {"IDS_VERDICTRECALIBRATE", "The last calibration check found the pen up to %1 px off: calibrate the board again"},
    {"IDS_VERDICTREADY", "The board is ready"},
    {"IDS_SMOOTHFIXED", "fixed"},
    {"IDS_SMOOTHADAPTIVE", "adaptive (%1)"},
    {"IDS_SMOOTHUNTOLD", "not told by this driver"},
    {"IDS_RELOADING", "Asking the driver to read its settings again..."},
    {"IDS_RELOADED", "The driver read its settings again at %1."},
};

} // namespace

const char* BuiltInEnglish(const std::string& key)
{
    for (const EnglishText& entry : kLaterTexts)
        if (key == entry.key) return entry.text;
    return nullptr;
}

const char* TextSection()
{
    return "Sondaro";
}

const std::vector<std::string>& TextKeys()
{
    static const std::vector<std::string> keys = {
        "IDS_TOTEL",       "IDS_DRIVER",      "IDS_SERVICE",     "IDS_RECORDS",     "IDS_CONTACTS",
        "IDS_CALIBRATION", "IDS_MONITOR",     "IDS_OUTPUTS",     "IDS_LOG",         "IDS_BTNRECORD",
        "IDS_BTNSAVE",     "IDS_BTNCANCEL",   "IDS_DRIVERON",    "IDS_DRIVEROFF",   "IDS_DRIVERASKING",
        "IDS_DRIVERSILENT", "IDS_SERVICEON",  "IDS_SERVICEOFF",  "IDS_RATE",        "IDS_RATEWAIT",
        "IDS_LASTCONTACT", "IDS_NOCONTACT",   "IDS_CONTACTSSEEN", "IDS_CALOK",      "IDS_CALFAIL",
        "IDS_CALCHECKGOOD", "IDS_CALCHECKBAD",
        "IDS_PRIMARY",     "IDS_MONITORLINE", "IDS_OUTPUTLINE",  "IDS_ON",          "IDS_OFF",
        "IDS_YES",         "IDS_NO",          "IDS_RECWAIT",     "IDS_RECRUN",      "IDS_RECDONE",
        "IDS_RECFAIL",     "IDS_RECBUSY",     "IDS_SAVED",       "IDS_SAVEFAIL",
    };
    static const std::vector<std::string> all = [] {
        std::vector<std::string> both = keys;
        for (const EnglishText& entry : kLaterTexts) both.push_back(entry.key);
        return both;
    }();
    return all;
}

std::string CheckTexts::Get(const std::string& key) const
{
    const auto found = texts_.find(key);
    if (found != texts_.end() && found->second != "GetError") return found->second;
    if (const char* english = BuiltInEnglish(key)) return english;
    return found == texts_.end() ? std::string("GetError") : found->second;
}

std::string CheckTexts::Fill(const std::string& key, const std::vector<std::string>& values) const
{
    return FillIn(Get(key), values);
}

} // namespace boardcheck
