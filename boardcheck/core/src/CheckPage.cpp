#include "boardcheck/CheckPage.h"

#include "boardcheck/BoardVerdict.h"

#include <cstdio>
#include <sstream>

// Every key named here is one of section "Sondaro" of Language.ini.
namespace boardcheck {
namespace {

std::string Number(long value)
{
    return std::to_string(value);
}

std::string Seconds(long ms)
{
    return OneDecimal(static_cast<double>(ms) / 1000.0);
}

// Silent drivers may have answered before they fell silent.
bool DriverSpoke(const StatusPoll& poll)
{
    return poll.Status().protocol >= 1;
}

std::string OnOff(bool on, const CheckTexts& texts)
{
    return texts.Get(on ? "IDS_ON" : "IDS_OFF");
}

// "off", or "on (pair-split)" and the like.
std::string Switch(const std::string& value, const CheckTexts& texts)
{
    if (value.empty() || value == "off" || value == "idle") return texts.Get("IDS_OFF");
    return texts.Get("IDS_ON") + " (" + value + ")";
}

std::string MonitorName(const common::BoardStatus& status, const CheckTexts* texts)
{
    if (status.monitor == "primary") return texts ? texts->Get("IDS_PRIMARY") : "primary screen";
    return status.monitor;
}

std::string SmoothingLine(const common::BoardStatus& status, const CheckTexts& texts)
{
    if (status.smoothing.empty()) return texts.Get("IDS_SMOOTHUNTOLD");
    if (status.smoothing == "fixed") return texts.Get("IDS_SMOOTHFIXED");
    if (status.smoothing == "adaptive") return texts.Fill("IDS_SMOOTHADAPTIVE", {status.smoothingParameters});
    return status.smoothing; // a later driver's kind, as it names it
}

std::string ReportSmoothing(const common::BoardStatus& status)
{
    if (status.smoothing.empty()) return "not told by this driver";
    if (status.smoothingParameters.empty()) return status.smoothing;
    return status.smoothing + ", " + status.smoothingParameters;
}

std::string ReportDriver(const StatusPoll& poll)
{
    const common::BoardStatus& s = poll.Status();
    switch (poll.CurrentState()) {
    case StatusPoll::State::NoDriver: return "not running (no window \"Kelvado\")";
    case StatusPoll::State::Asking: return "running; it has not answered yet";
    case StatusPoll::State::Silent:
        return "running, but its last request is unanswered after " + Seconds(StatusPoll::kAnswerWaitMs) +
               " s (hung, or elevated while the check is not)" +
               (DriverSpoke(poll) ? "; its last answer was from version " + s.driverVersion : std::string());
    case StatusPoll::State::Answering: break;
    }
    return "running, version " + s.driverVersion + ", process " + std::to_string(s.processId) + ", since " +
           s.startedAt + ", elevated " + s.elevated + ", file virtualization " + s.virtualized;
}

std::string ReportRecords(const StatusPoll& poll)
{
    if (!DriverSpoke(poll)) return "unknown (no answer from the driver)";
    const double rate = poll.RecordsPerSecond();
    std::string line = rate < 0 ? std::string("being counted") : OneDecimal(rate) + " a second as the driver counts them";
    const long last = poll.Status().lastContactMs;
    line += last < 0 ? "; no contact since the check started" : "; last contact " + Seconds(last) + " s ago";
    return line;
}

} // namespace

std::string OneDecimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

ContactCount CountContacts(const common::BoardStatus& status)
{
    ContactCount count;
    for (const common::StatusContact& contact : status.contacts) {
        if (contact.released) continue;
        (contact.onScreen ? count.onScreen : count.offScreen) += 1;
    }
    return count;
}

DisplayLines MakeDisplayLines(const StatusPoll& poll, const CheckFacts& facts, const CheckTexts& texts)
{
    DisplayLines lines;
    const common::BoardStatus& s = poll.Status();
    lines.verdict = VerdictLine(poll, facts, texts);
    lines.service = texts.Get(facts.serviceFound ? "IDS_SERVICEON" : "IDS_SERVICEOFF");
    switch (poll.CurrentState()) {
    case StatusPoll::State::NoDriver: lines.driver = texts.Get("IDS_DRIVEROFF"); return lines;
    case StatusPoll::State::Asking: lines.driver = texts.Get("IDS_DRIVERASKING"); return lines;
    case StatusPoll::State::Silent:
        lines.driver = texts.Get("IDS_DRIVERSILENT");
        if (!DriverSpoke(poll)) return lines;
        break;
    case StatusPoll::State::Answering: lines.driver = texts.Fill("IDS_DRIVERON", {s.driverVersion, s.startedAt}); break;
    }

    const double rate = poll.RecordsPerSecond();
    // The second half brings its own separator, as each language writes it.
    lines.records = rate < 0 ? texts.Get("IDS_RATEWAIT") : texts.Fill("IDS_RATE", {OneDecimal(rate)});
    lines.records += s.lastContactMs < 0 ? texts.Get("IDS_NOCONTACT")
                                         : texts.Fill("IDS_LASTCONTACT", {Seconds(s.lastContactMs)});
    const ContactCount count = CountContacts(s);
    lines.contacts = texts.Fill("IDS_CONTACTSSEEN", {Number(count.onScreen), Number(count.offScreen)});
    lines.calibration = s.calibrationLoaded
                            ? texts.Fill("IDS_CALOK", {Number(s.gridColumns), Number(s.gridRows), s.settingsFile})
                            : texts.Fill("IDS_CALFAIL", {s.calibrationProblem, s.settingsFile});
    if (!s.calibrationCheck.empty()) {
        lines.calibration += texts.Fill(s.calibrationCheck == "good" ? "IDS_CALCHECKGOOD" : "IDS_CALCHECKBAD",
                                        {s.calibrationCheckWorstPx, s.calibrationCheckAt});
    }
    lines.monitor = texts.Fill("IDS_MONITORLINE", {MonitorName(s, &texts), Number(s.monitorWidth),
                                                   Number(s.monitorHeight), Number(s.monitorLeft), Number(s.monitorTop)});
    lines.outputs = texts.Fill("IDS_OUTPUTLINE", {Switch(s.socketRouting, texts), Switch(s.forwarding, texts),
                                                  Switch(s.tuio, texts), OnOff(s.touchInjectionOn, texts),
                                                  texts.Get(s.touchInjectionAvailable ? "IDS_YES" : "IDS_NO")});
    lines.smoothing = SmoothingLine(s, texts);
    if (s.recording == "waiting") {
        lines.recording = texts.Get("IDS_RECWAIT");
    } else if (s.recording == "recording") {
        lines.recording = texts.Fill("IDS_RECRUN", {Number(static_cast<long>(s.recordingSeconds))});
    } else if (s.recording == "written") {
        lines.recording = texts.Fill("IDS_RECDONE", {s.recordingFile});
    } else if (s.recording == "failed") {
        lines.recording = texts.Get("IDS_RECFAIL");
    } else if (s.recording == "busy") {
        lines.recording = texts.Get("IDS_RECBUSY");
    }
    return lines;
}

std::string MakeReport(const StatusPoll& poll, const CheckFacts& facts, const SystemFacts& system,
                       const std::string& savedAt)
{
    const common::BoardStatus& s = poll.Status();
    const bool spoke = DriverSpoke(poll);
    std::ostringstream out;
    out << "Board check report\r\n";
    out << "Saved: " << savedAt << "\r\n";
    // The English of the shipped texts: the texts built in stand in for it.
    out << "Verdict: " << VerdictLine(poll, facts, CheckTexts()) << "\r\n";
    out << "Driver: " << ReportDriver(poll) << "\r\n";
    out << "Camera service: " << (facts.serviceFound ? "window found" : "window not found") << "\r\n";
    out << "Records: " << ReportRecords(poll) << "\r\n";
    if (spoke) {
        const ContactCount count = CountContacts(s);
        out << "Contacts: " << count.onScreen << " on the screen and " << count.offScreen
            << " outside the calibrated area in the last 3 s\r\n";
        out << "Calibration: " << (s.calibrationLoaded ? "loaded" : "failed")
            << (s.calibrationProblem.empty() ? "" : " (" + s.calibrationProblem + ")") << ", grid " << s.gridColumns
            << " x " << s.gridRows << ", for " << s.screenWidth << " x " << s.screenHeight << ", file "
            << s.settingsFile << "\r\n";
        out << "Last calibration check: "
            << (s.calibrationCheck.empty() ? "none since the calibration was saved"
                                           : s.calibrationCheck + ", worst " + s.calibrationCheckWorstPx + " px, " +
                                                 s.calibrationCheckAt)
            << "\r\n";
        out << "Board monitor: " << MonitorName(s, nullptr) << ", " << s.monitorWidth << " x " << s.monitorHeight
            << " at " << s.monitorLeft << ", " << s.monitorTop << "\r\n";
        out << "Outputs: touch socket " << s.socketRouting << (s.socketChannel ? " (connection made)" : "")
            << "; forwarding " << s.forwarding << "; TUIO " << s.tuio << "; touch injection "
            << (s.touchInjectionOn ? "on" : s.touchInjectionAsked ? "asked for, not available" : "off")
            << " (this PC: " << (s.touchInjectionAvailable ? "available" : "not available") << ")\r\n";
        out << "Smoothing: " << ReportSmoothing(s) << "\r\n";
        out << "Board keys: " << (s.boardKeys ? "on" : "off") << "; camera kind " << s.cameraKind << "\r\n";
        out << "Recording: " << (s.recording.empty() ? "idle" : s.recording)
            << (s.recordingFile.empty() ? "" : ", " + s.recordingFile) << "\r\n";
    } else {
        for (const char* label : {"Contacts", "Calibration", "Board monitor", "Outputs", "Smoothing", "Board keys", "Recording"})
            out << label << ": unknown (no answer from the driver)\r\n";
    }
    out << "Windows: " << system.windows << "\r\n";
    int n = 0;
    for (const MonitorFact& monitor : system.monitors) {
        out << "Monitor " << ++n << ": " << monitor.name << ", " << monitor.width << " x " << monitor.height << " at "
            << monitor.left << ", " << monitor.top << (monitor.primary ? ", primary" : "") << ", scale "
            << (monitor.scalePercent > 0 ? std::to_string(monitor.scalePercent) + " %" : std::string("unknown"))
            << "\r\n";
    }
    if (system.monitors.empty()) out << "Monitor: none reported\r\n";
    out << "Foreground window: " << system.foreground << "\r\n";
    out << "Support log: " << (facts.logPath.empty() ? "no file" : facts.logPath) << ", last " << facts.logLines.size()
        << " lines\r\n";
    for (const std::string& line : facts.logLines) out << "    " << line << "\r\n";
    out << "Driver's answer:" << (spoke ? "" : " none") << "\r\n";
    std::istringstream answer(poll.StatusText());
    std::string line;
    while (std::getline(answer, line)) out << "    " << line << "\r\n";
    return out.str();
}

} // namespace boardcheck
