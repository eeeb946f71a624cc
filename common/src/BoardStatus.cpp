#include "common/BoardStatus.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace common {
namespace {

const char* YesNo(bool value)
{
    return value ? "yes" : "no";
}

class StatusWriter {
public:
    template <typename Value>
    void Put(const char* key, const Value& value)
    {
        std::ostringstream text;
        text << value;
        std::string line = text.str();
        // A value is one line whatever it holds.
        for (char& c : line) {
            if (c == '\r' || c == '\n') c = ' ';
        }
        text_ << key << '=' << line << '\n';
    }
    void Put(const char* key, bool value) { Put(key, YesNo(value)); }
    std::string Text() const { return text_.str(); }

private:
    std::ostringstream text_;
};

std::string Line(const StatusContact& contact)
{
    char line[96];
    if (contact.onScreen) {
        std::snprintf(line, sizeof line, "%lu %d %s %d %d %d %d", static_cast<unsigned long>(contact.ageMs),
                      contact.slot, contact.released ? "up" : "down", contact.cameraX, contact.cameraY,
                      contact.screenX, contact.screenY);
    } else {
        std::snprintf(line, sizeof line, "%lu %d %s %d %d off", static_cast<unsigned long>(contact.ageMs),
                      contact.slot, contact.released ? "up" : "down", contact.cameraX, contact.cameraY);
    }
    return line;
}

bool ReadContact(const std::string& value, StatusContact& contact)
{
    std::istringstream words(value);
    unsigned long age = 0;
    std::string edge, screenX;
    if (!(words >> age >> contact.slot >> edge >> contact.cameraX >> contact.cameraY >> screenX)) return false;
    if (edge != "up" && edge != "down") return false;
    contact.ageMs = static_cast<std::uint32_t>(age);
    contact.released = edge == "up";
    contact.onScreen = screenX != "off";
    if (contact.onScreen) {
        char* end = nullptr;
        contact.screenX = static_cast<int>(std::strtol(screenX.c_str(), &end, 10));
        if (*end != '\0' || !(words >> contact.screenY)) return false;
    }
    return true;
}

void ReadPair(const std::string& value, int& first, int& second)
{
    std::istringstream(value) >> first >> second;
}

void ReadMonitor(const std::string& value, BoardStatus& status)
{
    std::istringstream words(value);
    words >> status.monitor >> status.monitorLeft >> status.monitorTop >> status.monitorWidth >> status.monitorHeight;
}

long Number(const std::string& value)
{
    return std::strtol(value.c_str(), nullptr, 10);
}

void Apply(const std::string& key, const std::string& value, BoardStatus& status)
{
    const bool yes = value == "yes";
    if (key == "protocol") status.protocol = static_cast<int>(Number(value));
    else if (key == "driver-version") status.driverVersion = value;
    else if (key == "driver-process") status.processId = std::strtoul(value.c_str(), nullptr, 10);
    else if (key == "driver-started") status.startedAt = value;
    else if (key == "driver-tick") status.tick = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
    else if (key == "driver-elevated") status.elevated = value;
    else if (key == "driver-virtualized") status.virtualized = value;
    else if (key == "settings-file") status.settingsFile = value;
    else if (key == "settings-reads") status.settingsReads = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
    else if (key == "settings-read-at") status.settingsReadAt = value;
    else if (key == "calibration") status.calibrationLoaded = value == "loaded";
    else if (key == "calibration-problem") status.calibrationProblem = value;
    else if (key == "calibration-check") status.calibrationCheck = value;
    else if (key == "calibration-check-worst-px") status.calibrationCheckWorstPx = value;
    else if (key == "calibration-check-at") status.calibrationCheckAt = value;
    else if (key == "grid") ReadPair(value, status.gridColumns, status.gridRows);
    else if (key == "screen") ReadPair(value, status.screenWidth, status.screenHeight);
    else if (key == "monitor") ReadMonitor(value, status);
    else if (key == "camera-kind") status.cameraKind = static_cast<int>(Number(value));
    else if (key == "board-keys") status.boardKeys = yes;
    else if (key == "records") status.records = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
    else if (key == "last-contact-ms") status.lastContactMs = value == "none" ? -1 : Number(value);
    else if (key == "contact") {
        StatusContact contact;
        if (ReadContact(value, contact)) status.contacts.push_back(contact);
    } else if (key == "socket") status.socketRouting = value;
    else if (key == "socket-channel") status.socketChannel = yes;
    else if (key == "forwarding") status.forwarding = value;
    else if (key == "tuio") status.tuio = value;
    else if (key == "touch-injection") status.touchInjectionAsked = yes;
    else if (key == "touch-injection-system") status.touchInjectionAvailable = yes;
    else if (key == "touch-injection-on") status.touchInjectionOn = yes;
    else if (key == "smoothing") status.smoothing = value;
    else if (key == "smoothing-parameters") status.smoothingParameters = value;
    else if (key == "recording") status.recording = value;
    else if (key == "recording-seconds") status.recordingSeconds = static_cast<unsigned>(Number(value));
    else if (key == "recording-file") status.recordingFile = value;
}

} // namespace

std::string FormatBoardStatus(const BoardStatus& status)
{
    StatusWriter out;
    out.Put("protocol", status.protocol);
    out.Put("driver-version", status.driverVersion);
    out.Put("driver-process", status.processId);
    out.Put("driver-started", status.startedAt);
    out.Put("driver-tick", status.tick);
    out.Put("driver-elevated", status.elevated);
    out.Put("driver-virtualized", status.virtualized);
    out.Put("settings-file", status.settingsFile);
    if (status.settingsReads > 0) {
        out.Put("settings-reads", status.settingsReads);
        out.Put("settings-read-at", status.settingsReadAt);
    }
    out.Put("calibration", status.calibrationLoaded ? "loaded" : "failed");
    if (!status.calibrationProblem.empty()) out.Put("calibration-problem", status.calibrationProblem);
    if (!status.calibrationCheck.empty()) {
        out.Put("calibration-check", status.calibrationCheck);
        out.Put("calibration-check-worst-px", status.calibrationCheckWorstPx);
        out.Put("calibration-check-at", status.calibrationCheckAt);
    }
    out.Put("grid", std::to_string(status.gridColumns) + ' ' + std::to_string(status.gridRows));
    out.Put("screen", std::to_string(status.screenWidth) + ' ' + std::to_string(status.screenHeight));
    out.Put("monitor", status.monitor + ' ' + std::to_string(status.monitorLeft) + ' ' +
                           std::to_string(status.monitorTop) + ' ' + std::to_string(status.monitorWidth) + ' ' +
                           std::to_string(status.monitorHeight));
    out.Put("camera-kind", status.cameraKind);
    out.Put("board-keys", status.boardKeys);
    out.Put("records", status.records);
    if (status.lastContactMs < 0) out.Put("last-contact-ms", "none");
    else out.Put("last-contact-ms", status.lastContactMs);
    for (const StatusContact& contact : status.contacts) out.Put("contact", Line(contact));
    out.Put("socket", status.socketRouting);
    out.Put("socket-channel", status.socketChannel);
    out.Put("forwarding", status.forwarding);
    out.Put("tuio", status.tuio);
    out.Put("touch-injection", status.touchInjectionAsked);
    out.Put("touch-injection-system", status.touchInjectionAvailable);
    out.Put("touch-injection-on", status.touchInjectionOn);
    if (!status.smoothing.empty()) out.Put("smoothing", status.smoothing);
    if (!status.smoothingParameters.empty()) out.Put("smoothing-parameters", status.smoothingParameters);
    out.Put("recording", status.recording);
    out.Put("recording-seconds", status.recordingSeconds);
    if (!status.recordingFile.empty()) out.Put("recording-file", status.recordingFile);
    return out.Text();
}

BoardStatus ParseBoardStatus(const std::string& text)
{
    BoardStatus status;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string::size_type equals = line.find('=');
        if (equals == std::string::npos || equals == 0) continue;
        Apply(line.substr(0, equals), line.substr(equals + 1), status);
    }
    return status;
}

} // namespace common
