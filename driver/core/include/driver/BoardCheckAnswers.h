#pragma once
// The driver window's answers to the board check: the status it shows, and
// recordings of the next seconds of records. Every member runs on the window
// thread; the worker only fills in the watch these answers arm.
#include "common/BoardStatus.h"
#include "driver/ByteChannel.h"
#include "driver/CalibrationStore.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/FaultLog.h"
#include "driver/FilterSettings.h"
#include "driver/RecordingScript.h"
#include "driver/WorkerWatch.h"

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

// What the platform knows of the running driver, gathered once at start-up.
struct DriverFacts {
    std::string version;
    unsigned long processId = 0;
    std::string startedAt;   // local time
    std::string elevated;    // yes, no, unknown
    std::string virtualized; // file virtualization: yes, no, unknown
    std::string settingsFile;
    std::string tuio = "off"; // the destination when on
    bool touchInjectionAsked = false;
    bool touchInjectionAvailable = false;
    bool touchInjectionOn = false;
    // The smoothing the touch worker runs with.
    FilterSettings filter;
};

// The adaptive chain's numbers as the support log and the answer give them:
// "MIN_CUTOFF=0.5 BETA=0.06 DERIVATIVE_CUTOFF=0.7 STILL_SPEED=100".
std::string SmoothingParametersText(const OneEuroParameters& parameters);

// Where recordings go.
class RecordingStorage {
public:
    virtual ~RecordingStorage() = default;
    // The settings file's text as it is now.
    virtual std::string SettingsText() = 0;
    // Every option as it is in force now, whatever its source; none where
    // the platform cannot tell.
    virtual std::vector<OptionInForce> OptionsInForce() { return {}; }
    virtual std::string LocalTime() = 0;
    // Writes a recording; its path, or empty when it could not be written.
    virtual std::string Save(const std::string& text) = 0;
};

struct BoardCheckDeps {
    Desktop& desktop;
    DriverState& state;
    CalibrationStore& calibration;
    WorkerWatch& watch;
    ChannelSlot& socket;
    RecordingStorage& storage;
    FaultLog& faults;
};

class BoardCheckAnswers {
public:
    // Contacts of this many milliseconds are shown; at most kMaxContacts of them.
    static constexpr std::uint32_t kContactWindowMs = 3000;
    static constexpr std::size_t kMaxContacts = 300;
    // Room for a recording: every cycle of the longest one could carry a record.
    static constexpr std::size_t kRecordsPerSecond = 500;
    // How often the window looks whether a recording is complete (timer kTimerRecording).
    static constexpr unsigned kRecordingPollMs = 250;

    BoardCheckAnswers(BoardCheckDeps deps, DriverFacts facts);

    // Later answers tell these facts (the contact outputs and the smoothing
    // change whenever the touch worker is started again with other options).
    void UpdateFacts(DriverFacts facts) { facts_ = std::move(facts); }

    // The settings were read again, at the board check's request: later
    // answers tell how often and when (the first read is the start's).
    void NoteSettingsRead();

    // Arms the watch and tells how the board stands.
    common::BoardStatus Status();
    // Starts a recording of `seconds` (0: the default; kept within 1..max)
    // unless one is under way, then answers as Status does.
    common::BoardStatus Record(unsigned seconds);
    // On the recording timer: writes a complete recording; true while one
    // is still to be written.
    bool OnRecordingTimer();

private:
    enum class Recording { Idle, Capturing, Written, Failed };
    // The status; `refusedRecording` when this request's recording was refused.
    common::BoardStatus Answer(bool refusedRecording);
    void FillRecording(common::BoardStatus& status, bool refusedRecording) const;

    BoardCheckDeps deps_;
    DriverFacts facts_;
    Recording recording_ = Recording::Idle;
    RecordingFacts recordingFacts_;
    std::string recordingFile_;
    unsigned settingsReads_ = 1;
    std::string settingsReadAt_; // empty: at the start
};

} // namespace driver
