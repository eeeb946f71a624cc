#include "boardcheck/CheckTexts.h"

namespace boardcheck {

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
    return keys;
}

std::string CheckTexts::Get(const std::string& key) const
{
    const auto found = texts_.find(key);
    return found == texts_.end() ? std::string("GetError") : found->second;
}

std::string CheckTexts::Fill(const std::string& key, const std::vector<std::string>& values) const
{
    return FillIn(Get(key), values);
}

} // namespace boardcheck
