#pragma once
// What the board check shows and what its report says, from the driver's
// last answer and what the check finds itself. The window's lines are in the
// user's language; the report is in English, one "Label: value" line each,
// for whoever reads the support ticket.
#include "boardcheck/CheckTexts.h"
#include "boardcheck/StatusPoll.h"

#include <string>
#include <vector>

namespace boardcheck {

// What the check finds without the driver.
struct CheckFacts {
    bool serviceFound = false;
    std::string logPath;
    std::vector<std::string> logLines; // the newest last
};

// What only the PC itself can tell, for the report.
struct MonitorFact {
    std::string name;
    int left = 0, top = 0, width = 0, height = 0;
    bool primary = false;
    int scalePercent = 0; // 0: not known
};

struct SystemFacts {
    std::string windows;
    std::vector<MonitorFact> monitors;
    std::string foreground; // the window in front, its program and whether it runs elevated
};

struct DisplayLines {
    // The verdict comes first: what keeps the board from working, or that it is ready.
    std::string verdict;
    std::string driver, service, records, contacts, calibration, monitor, outputs, smoothing, recording;
};

// Contacts the picture and the lines count: those of the last seconds.
struct ContactCount {
    int onScreen = 0;
    int offScreen = 0;
};
ContactCount CountContacts(const common::BoardStatus& status);

DisplayLines MakeDisplayLines(const StatusPoll& poll, const CheckFacts& facts, const CheckTexts& texts);

// The report's lines, each "Label: value"; the support log's lines and the
// driver's own answer follow indented.
std::string MakeReport(const StatusPoll& poll, const CheckFacts& facts, const SystemFacts& system,
                       const std::string& savedAt);

// "12.3"
std::string OneDecimal(double value);

} // namespace boardcheck
