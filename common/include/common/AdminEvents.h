#pragma once
// The events of the suite that an administrator acts on, for the system's
// Application log under the source "Brelvin". The support log keeps every
// detail for whoever reads it on the PC; these are the few facts IT staff
// collect from many PCs at once (event forwarding, a log query), so each has
// a fixed ID and type that a query or an alert can be written against.
//
// The IDs are part of what the suite promises: an ID is never renumbered or
// reused for another fact. Their texts, with %1.. for the inserts in the
// order the functions below give them, are the message table in
// common/win32/EventMessages.mc, compiled into Brelvin.exe, the file the
// package registers as the source's message file.
#include "common/CalibrationCheckRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace common {

inline constexpr const char* kEventSourceName = "Brelvin";

enum class EventId : std::uint16_t {
    DriverStarted = 1000,
    CalibrationUnusable = 1001,
    CameraArrived = 1010,
    CameraLeft = 1011,
    MouseHookNotInstalled = 1020,
    PolicyApplied = 1030,
    NoPolicy = 1031,
    CalibrationSaved = 1040,
    CalibrationChecked = 1041,
    EventsNotWritten = 1090,
};

// The three types the source supports (its TypesSupported is 7).
enum class EventLevel { Information, Warning, Error };

struct AdminEvent {
    EventId id;
    EventLevel level;
    std::vector<std::string> inserts; // %1, %2, ... of the message
};

// Every ID, in the order of the documented table, with the number of
// inserts its message takes.
struct EventKind {
    EventId id;
    unsigned inserts;
};
inline constexpr EventKind kEventKinds[] = {
    {EventId::DriverStarted, 3},    {EventId::CalibrationUnusable, 1}, {EventId::CameraArrived, 1},
    {EventId::CameraLeft, 1},       {EventId::MouseHookNotInstalled, 0}, {EventId::PolicyApplied, 1},
    {EventId::NoPolicy, 0},         {EventId::CalibrationSaved, 1},    {EventId::CalibrationChecked, 3},
    {EventId::EventsNotWritten, 3},
};

// The driver's version, its settings file and the options in force
// (DescribeOptionsInForce).
AdminEvent DriverStartedEvent(const std::string& version, const std::string& settingsFile,
                              const std::string& optionsInForce);
// Why the calibration's load failed, as the support log words it.
AdminEvent CalibrationUnusableEvent(const std::string& problem);
// The camera's device interface name.
AdminEvent CameraArrivedEvent(const std::string& deviceName);
AdminEvent CameraLeftEvent(const std::string& deviceName);
AdminEvent MouseHookNotInstalledEvent();
// One text per section, as PolicyValues::Describe gives them.
AdminEvent PolicyAppliedEvent(const std::vector<std::string>& sections);
AdminEvent NoPolicyEvent();
// The settings file the calibration program wrote the grid into.
AdminEvent CalibrationSavedEvent(const std::string& settingsFile);
// A check with its verdict: good is Information, recalibrate a Warning.
AdminEvent CalibrationCheckedEvent(const CalibrationCheckRecord& check);
// How many events of one ID were held back, and over how many minutes.
AdminEvent EventsNotWrittenEvent(EventId id, unsigned count, unsigned minutes);

} // namespace common
