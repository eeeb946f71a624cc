#include "driver/BoardCheckAnswers.h"

#include "driver/TimerIds.h"

#include "common/CalibrationCheckRecord.h"
#include "common/DisplaySettings.h"
#include "common/TextProfile.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace driver {
namespace {

const char* RoutingName(SocketRouting routing)
{
    switch (routing) {
    case SocketRouting::Off: return "off";
    case SocketRouting::PairSplit: return "pair-split";
    case SocketRouting::HalfSplit: return "half-split";
    }
    return "off";
}

const char* ForwardingName(ForwardingState state)
{
    switch (state) {
    case ForwardingState::Idle: return "idle";
    case ForwardingState::AwaitingClient: return "awaiting-client";
    case ForwardingState::Forwarding: return "forwarding";
    }
    return "idle";
}

int Rounded(double value)
{
    return static_cast<int>(value < 0 ? value - 0.5 : value + 0.5);
}

// The monitor the model maps to, and the choice the primary screen stands
// in for when the chosen monitor is not there (one word on the line).
std::string MonitorName(const BoardScreen& board)
{
    if (!board.IsPrimary()) return board.DeviceName();
    if (board.StandsInFor().empty()) return common::kMonitorPrimary;
    std::string name = std::string(common::kMonitorPrimary) + "-instead-of-" + board.StandsInFor();
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

// The samples of the last kContactWindowMs, at most kMaxContacts of the newest.
std::vector<common::StatusContact> RecentContacts(const WorkerWatch& watch, std::uint32_t now,
                                                  const CCalibration& model)
{
    constexpr std::size_t kMax = BoardCheckAnswers::kMaxContacts;
    std::vector<WatchedContact> seen = watch.ContactsSince(now - BoardCheckAnswers::kContactWindowMs);
    if (seen.size() > kMax) seen.erase(seen.begin(), seen.end() - kMax);
    std::vector<common::StatusContact> contacts;
    contacts.reserve(seen.size());
    for (const WatchedContact& sample : seen) {
        common::StatusContact contact;
        contact.ageMs = now - sample.tick;
        contact.slot = sample.slot;
        contact.released = sample.released;
        contact.cameraX = Rounded(sample.camera.x);
        contact.cameraY = Rounded(sample.camera.y);
        Point onScreen = sample.camera;
        contact.onScreen = model.MapPoint(onScreen);
        contact.screenX = static_cast<int>(onScreen.x);
        contact.screenY = static_cast<int>(onScreen.y);
        contacts.push_back(contact);
    }
    return contacts;
}

} // namespace

std::string SmoothingParametersText(const OneEuroParameters& p)
{
    char text[160];
    std::snprintf(text, sizeof text, "MIN_CUTOFF=%g BETA=%g DERIVATIVE_CUTOFF=%g STILL_SPEED=%g", p.minCutoffHz, p.beta,
                  p.derivativeCutoffHz, p.stillSpeed);
    return text;
}

BoardCheckAnswers::BoardCheckAnswers(BoardCheckDeps deps, DriverFacts facts)
    : deps_(deps),
      facts_(std::move(facts))
{}

void BoardCheckAnswers::NoteSettingsRead()
{
    ++settingsReads_;
    settingsReadAt_ = deps_.storage.LocalTime();
}

common::BoardStatus BoardCheckAnswers::Status()
{
    return Answer(false);
}

common::BoardStatus BoardCheckAnswers::Answer(bool refusedRecording)
{
    const std::uint32_t now = deps_.desktop.TickCount();
    deps_.watch.Arm(now);
    const CalibrationStore::Snapshot model = deps_.calibration.Current();

    common::BoardStatus status;
    status.protocol = common::kBoardStatusProtocol;
    status.driverVersion = facts_.version;
    status.processId = facts_.processId;
    status.startedAt = facts_.startedAt;
    status.tick = now;
    status.elevated = facts_.elevated;
    status.virtualized = facts_.virtualized;
    status.settingsFile = facts_.settingsFile;
    status.settingsReads = settingsReads_;
    status.settingsReadAt = settingsReadAt_.empty() ? facts_.startedAt : settingsReadAt_;
    status.calibrationLoaded = model->LoadProblem() == nullptr;
    if (model->LoadProblem()) status.calibrationProblem = model->LoadProblem();
    {
        const common::TextProfile settings(deps_.storage.SettingsText());
        const common::CalibrationCheckRecord check = common::ReadCalibrationCheck(settings);
        status.calibrationCheck = check.verdict;
        status.calibrationCheckWorstPx = check.worstPx;
        status.calibrationCheckAt = check.checkedAt;
    }
    status.gridColumns = model->GridColumns();
    status.gridRows = model->GridRows();
    status.screenWidth = model->ScreenWidth();
    status.screenHeight = model->ScreenHeight();
    const BoardScreen& board = model->Board();
    status.monitor = MonitorName(board);
    status.monitorLeft = board.Rect().left;
    status.monitorTop = board.Rect().top;
    status.monitorWidth = board.Size().width;
    status.monitorHeight = board.Size().height;
    status.cameraKind = deps_.state.cameraKind;
    status.boardKeys = deps_.state.boardKeysEnabled != 0;
    status.records = deps_.watch.RecordsSeen();
    std::uint32_t lastContact = 0;
    if (deps_.watch.LastContact(lastContact)) status.lastContactMs = static_cast<long>(now - lastContact);
    status.contacts = RecentContacts(deps_.watch, now, *model);
    status.socketRouting = RoutingName(deps_.state.socketRouting);
    status.socketChannel = deps_.socket.Current() != nullptr;
    status.forwarding = ForwardingName(deps_.state.forwarding);
    status.tuio = facts_.tuio;
    status.touchInjectionAsked = facts_.touchInjectionAsked;
    status.touchInjectionAvailable = facts_.touchInjectionAvailable;
    status.touchInjectionOn = facts_.touchInjectionOn;
    status.smoothing = Name(facts_.filter.mode);
    // The fixed blend has no numbers to tell.
    if (facts_.filter.mode == FilterMode::Adaptive) status.smoothingParameters = SmoothingParametersText(facts_.filter.oneEuro);
    FillRecording(status, refusedRecording);
    return status;
}

common::BoardStatus BoardCheckAnswers::Record(unsigned seconds)
{
    if (seconds == 0) seconds = common::kRecordingDefaultSeconds;
    seconds = std::min(seconds, common::kRecordingMaxSeconds);
    const bool busy = recording_ == Recording::Capturing;
    if (!busy) {
        const std::uint32_t now = deps_.desktop.TickCount();
        if (deps_.watch.ArmCapture(now, seconds * 1000, seconds * kRecordsPerSecond)) {
            const CalibrationStore::Snapshot model = deps_.calibration.Current();
            recordingFacts_ = RecordingFacts{};
            recordingFacts_.driverVersion = facts_.version;
            recordingFacts_.startedAt = deps_.storage.LocalTime();
            recordingFacts_.seconds = seconds;
            recordingFacts_.screenWidth = model->ScreenWidth();
            recordingFacts_.screenHeight = model->ScreenHeight();
            recordingFacts_.boardKeys = deps_.state.boardKeysEnabled != 0;
            recordingFacts_.tuio = facts_.tuio;
            recordingFacts_.touchInjection = facts_.touchInjectionOn;
            recordingFacts_.settingsText = deps_.storage.SettingsText();
            recordingFacts_.options = deps_.storage.OptionsInForce();
            recordingFile_.clear();
            recording_ = Recording::Capturing;
            deps_.desktop.StartDriverTimer(kTimerRecording, kRecordingPollMs);
            deps_.faults.NoteF("The board check asked for a recording of the next %u s of records.", seconds);
        }
    }
    return Answer(busy);
}

bool BoardCheckAnswers::OnRecordingTimer()
{
    if (recording_ != Recording::Capturing) {
        deps_.desktop.KillDriverTimer(kTimerRecording);
        return false;
    }
    if (deps_.watch.Capture().CurrentState() != RecordCapture::State::Complete) return true;
    const std::vector<CapturedRecord> records = deps_.watch.Capture().Take();
    deps_.desktop.KillDriverTimer(kTimerRecording);
    recordingFile_ = deps_.storage.Save(FormatRecording(recordingFacts_, records));
    if (recordingFile_.empty()) {
        recording_ = Recording::Failed;
        deps_.faults.Note("A recording of the board's records could not be written.");
    } else {
        recording_ = Recording::Written;
        deps_.faults.NoteF("Wrote a recording of %u records to %s.", static_cast<unsigned>(records.size()),
                           recordingFile_.c_str());
    }
    return false;
}

void BoardCheckAnswers::FillRecording(common::BoardStatus& status, bool refusedRecording) const
{
    status.recordingSeconds = recordingFacts_.seconds;
    status.recordingFile = recordingFile_;
    if (refusedRecording) {
        status.recording = "busy";
        return;
    }
    switch (recording_) {
    case Recording::Idle: status.recording = "idle"; break;
    case Recording::Capturing:
        status.recording =
            deps_.watch.Capture().CurrentState() == RecordCapture::State::Armed ? "waiting" : "recording";
        break;
    case Recording::Written: status.recording = "written"; break;
    case Recording::Failed: status.recording = "failed"; break;
    }
}

} // namespace driver
