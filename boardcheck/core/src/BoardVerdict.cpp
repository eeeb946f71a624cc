#include "boardcheck/BoardVerdict.h"

#include <algorithm>

// Every key named here is one of section "Sondaro" of Language.ini.
namespace boardcheck {
namespace {

constexpr const char* kStandInPrefix = "primary-instead-of-";

bool StandsIn(const common::BoardStatus& status)
{
    return status.monitor.compare(0, std::char_traits<char>::length(kStandInPrefix), kStandInPrefix) == 0;
}

// The choice of [Display] that found no monitor, blanks given back.
std::string MissingChoice(const common::BoardStatus& status)
{
    std::string choice = status.monitor.substr(std::char_traits<char>::length(kStandInPrefix));
    std::replace(choice.begin(), choice.end(), '_', ' ');
    return choice;
}

} // namespace

Verdict JudgeBoard(const StatusPoll& poll, const CheckFacts& facts)
{
    switch (poll.CurrentState()) {
    case StatusPoll::State::NoDriver: return Verdict::DriverNotRunning;
    case StatusPoll::State::Silent: return Verdict::DriverSilent;
    case StatusPoll::State::Asking: return Verdict::Checking;
    case StatusPoll::State::Answering: break;
    }
    if (!facts.serviceFound) return Verdict::ServiceNotRunning;
    // A running camera sends records also while nobody touches the board.
    const double rate = poll.RecordsPerSecond();
    if (rate < 0) return Verdict::Checking;
    if (rate == 0) return Verdict::ServiceSendsNothing;
    const common::BoardStatus& status = poll.Status();
    if (!status.calibrationLoaded) return Verdict::CalibrationNotLoaded;
    if (StandsIn(status)) return Verdict::MonitorMissing;
    if (status.calibrationCheck == "recalibrate") return Verdict::Recalibrate;
    return Verdict::Ready;
}

const char* VerdictKey(Verdict verdict)
{
    switch (verdict) {
    case Verdict::DriverNotRunning: return "IDS_VERDICTNODRIVER";
    case Verdict::DriverSilent: return "IDS_VERDICTSILENT";
    case Verdict::Checking: return "IDS_VERDICTCHECKING";
    case Verdict::ServiceNotRunning: return "IDS_VERDICTNOSERVICE";
    case Verdict::ServiceSendsNothing: return "IDS_VERDICTNORECORDS";
    case Verdict::CalibrationNotLoaded: return "IDS_VERDICTNOCALIBRATION";
    case Verdict::MonitorMissing: return "IDS_VERDICTMONITOR";
    case Verdict::Recalibrate: return "IDS_VERDICTRECALIBRATE";
    case Verdict::Ready: return "IDS_VERDICTREADY";
    }
    return "IDS_VERDICTCHECKING";
}

std::string VerdictLine(const StatusPoll& poll, const CheckFacts& facts, const CheckTexts& texts)
{
    const Verdict verdict = JudgeBoard(poll, facts);
    switch (verdict) {
    case Verdict::MonitorMissing: return texts.Fill(VerdictKey(verdict), {MissingChoice(poll.Status())});
    case Verdict::Recalibrate: return texts.Fill(VerdictKey(verdict), {poll.Status().calibrationCheckWorstPx});
    default: return texts.Get(VerdictKey(verdict));
    }
}

} // namespace boardcheck
