#include "SessionReplay.h"

#include "ReplayDesktop.h"
#include "Transcript.h"

#include "CalibrationMemoryProfile.h"

#include "common/BoardCodes.h"
#include "driver/BoardKeys.h"
#include "driver/CalibrationNotes.h"
#include "driver/CalibrationStore.h"
#include "driver/ChannelPorts.h"
#include "driver/FilterSettings.h"
#include "driver/MultitouchOutputs.h"
#include "driver/MultitouchSettings.h"
#include "driver/PenButtonSettings.h"
#include "driver/ProtocolHandlers.h"
#include "driver/SupervisionTimer.h"
#include "driver/TouchWorker.h"
#include "sim/ChannelSessionScripts.h"
#include "sim/StepCursor.h"
#include "sim/TouchScript.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace golden {
namespace {

constexpr std::uint32_t kCycleMs = 2;
// After the last record: every counting timer has ticked by then.
constexpr std::uint32_t kQuietEndMs = 2000;
// Between the requests of the run job's peers and their records.
constexpr std::uint32_t kPeerPauseMs = 100;

class IgnoredHook final : public driver::HookControl {
public:
    void SetDoubleTapHelp(bool) override {}
    void RearPenButtonSeen() override {}
    void Refresh() override {}
};

// A stream to a peer; every write is a transcript line.
class TranscriptChannel final : public driver::ByteChannel {
public:
    TranscriptChannel(Transcript& transcript, const char* name)
        : transcript_(transcript),
          name_(name)
    {}
    ~TranscriptChannel() override { transcript_.Line("%s closed", name_); }

    bool Write(const std::uint8_t* data, std::size_t length) override
    {
        transcript_.Line("%s %s", name_, Hex(data, length).c_str());
        return true;
    }

private:
    Transcript& transcript_;
    const char* name_;
};

class TranscriptSocketFactory final : public driver::SocketChannelFactory {
public:
    explicit TranscriptSocketFactory(Transcript& transcript)
        : transcript_(transcript)
    {}
    std::shared_ptr<driver::ByteChannel> OpenStream(const char* address, int port) override
    {
        transcript_.Line("socket open %s:%d", address, port);
        return std::make_shared<TranscriptChannel>(transcript_, "socket");
    }

private:
    Transcript& transcript_;
};

// The calibration program's end of the pipe, connected as soon as it is
// made. The empty records of every idle cycle are counted, not written out.
class TranscriptPipe final : public driver::PipeInstance {
public:
    explicit TranscriptPipe(Transcript& transcript)
        : transcript_(transcript)
    {}

    bool Write(const std::uint8_t* data, std::size_t length) override
    {
        ++writes_;
        if (std::any_of(data, data + length, [](std::uint8_t b) { return b != 0; })) {
            transcript_.Line("pipe %s", Hex(data, length).c_str());
        }
        return true;
    }
    Link CurrentLink() const override { return closed_ ? Link::Lost : Link::Connected; }
    std::uint64_t DeliveredWrites() const override { return writes_; }
    void Close() override
    {
        if (!closed_) transcript_.Line("pipe closed after %llu records", static_cast<unsigned long long>(writes_));
        closed_ = true;
    }

private:
    Transcript& transcript_;
    std::uint64_t writes_ = 0;
    bool closed_ = false;
};

class TranscriptPipeHost final : public driver::ForwardingPipeHost {
public:
    explicit TranscriptPipeHost(Transcript& transcript)
        : transcript_(transcript)
    {}
    std::shared_ptr<driver::PipeInstance> CreateAndAwaitClient() override
    {
        transcript_.Line("pipe open");
        return std::make_shared<TranscriptPipe>(transcript_);
    }

private:
    Transcript& transcript_;
};

class TranscriptTouchInjection final : public driver::TouchInjection {
public:
    explicit TranscriptTouchInjection(Transcript& transcript)
        : transcript_(transcript)
    {}
    bool Inject(const driver::TouchFrame& frame) override
    {
        std::string text = "touch";
        for (std::size_t n = 0; n < frame.count; ++n) {
            const driver::TouchContact& c = frame.contacts[n];
            char contact[96];
            std::snprintf(contact, sizeof contact, " [%u %d %d 0x%05X %d,%d,%d,%d]", c.pointerId, c.x, c.y, c.flags,
                          c.area.left, c.area.top, c.area.right, c.area.bottom);
            text += contact;
        }
        transcript_.Line("%s", text.c_str());
        return true;
    }

private:
    Transcript& transcript_;
};

class SessionReplay {
public:
    SessionReplay(const std::string& settings, const ReplayOptions& options);

    std::string Run(const std::string& script);

private:
    void Load();
    void NoteBoardArea();
    void Play(const std::string& scriptText);
    void Deliver(const driver::TouchRecordBytes& record);
    void Idle(std::uint32_t ms);
    void Cycle(const driver::TouchRecordBytes& record);
    void TickDueTimers();
    void Tick(unsigned timerId);
    void OpenOutputs();

    ReplayOptions options_;
    Transcript transcript_;
    ReplayDesktop desktop_{transcript_, options_.primary};
    calibration_testing::MemoryProfile settings_;
    driver::NoFaultLog faults_;
    IgnoredHook hook_;
    driver::DriverState state_;
    driver::CalibrationStore calibration_;
    driver::ChannelSlot socket_;
    driver::ChannelSlot pipe_;
    TranscriptSocketFactory socketFactory_{transcript_};
    TranscriptPipeHost pipeHost_{transcript_};
    driver::PenButtonSettings penButtons_;
    driver::ActionMap actionMap_;
    driver::ProtocolHandlers protocol_{
        {desktop_, state_, calibration_, settings_, socket_, pipe_, socketFactory_, pipeHost_, penButtons_, actionMap_,
         [this] { transcript_.Line("box the calibration could not be read"); }, faults_}};
    driver::SupervisionTimer supervision_{desktop_, state_, penButtons_};
    driver::BoardKeys boardKeys_{desktop_, state_, settings_, faults_};
    TranscriptChannel tuioChannel_{transcript_, "tuio"};
    std::unique_ptr<driver::TuioOutput> tuio_;
    TranscriptTouchInjection touchInjection_{transcript_};
    std::unique_ptr<driver::TouchOutput> touch_;
    std::unique_ptr<driver::TouchWorker> worker_;

    std::uint32_t pace_ = 0;
    std::uint32_t nextWriteAt_ = 0;
    std::uint32_t lastWriteAt_ = 0;
    bool failed_ = false;
};

SessionReplay::SessionReplay(const std::string& settings, const ReplayOptions& options)
    : options_(options),
      settings_(settings)
{
    if (options_.multitouch) {
        for (const common::Option* option : {&common::options::kTuio, &common::options::kTouchInjection}) {
            settings_.WriteString(option->section, option->key, "1");
        }
    }
    if (options_.adaptive) {
        settings_.WriteString(common::options::kFilterMode.section, common::options::kFilterMode.key, "adaptive");
    }
}

std::string SessionReplay::Run(const std::string& script)
{
    transcript_.Heading(std::string("the board session, ") +
                        (options_.multitouch ? "TUIO and touch injection on" : "the default settings") +
                        (options_.adaptive ? ", [Filter] MODE=adaptive" : ""));
    Load();
    OpenOutputs();
    // [Filter] as the driver reads it at start-up: the session's file has
    // none (unless the adaptive replay added it), and no policy is set.
    const common::PolicyValues noPolicies;
    const driver::FilterSettings filter = driver::ReadFilterSettings({settings_, settings_, noPolicies}, faults_);
    worker_ = std::make_unique<driver::TouchWorker>(
        driver::TouchWorkerDeps{desktop_, hook_, state_, [this] { return calibration_.Current(); }, boardKeys_, socket_,
                                pipe_, faults_, driver::ContactOutputs{tuio_.get(), touch_.get()}, filter});
    worker_->Begin();
    Play(script);

    transcript_.Heading("the drawing application opens the touch socket; a second-pair contact");
    Idle(kPeerPauseMs);
    protocol_.OnDriverSet(code::kDriverSetOpenSocket, code::kSocketPairSplit);
    Play("driver\nsync\n" + sim::SecondPairContactScript());
    Idle(kPeerPauseMs);
    protocol_.OnDriverSet(code::kDriverSetCloseSocket, code::kSocketPairSplit);

    transcript_.Heading("the calibration program takes the raw records of a contact");
    Idle(kPeerPauseMs);
    protocol_.OnPipeForwardStart(0, 0);
    protocol_.OnForwardingNews(); // its client connected
    Play("driver\nsync\n" + sim::ForwardedContactScript());
    Idle(kPeerPauseMs);
    protocol_.OnPipeForwardEnd(0, 1);

    transcript_.Heading("the calibration program saved: a reload, then a tap");
    Idle(kPeerPauseMs);
    protocol_.OnPipeForwardEnd(0, 0);
    NoteBoardArea();
    Play("driver\nsync\ndown 1600 1200\nhold 1600 1200 2\nup 1600 1200\n");

    transcript_.Heading("the driver closes");
    Idle(kQuietEndMs);
    worker_->End();
    return transcript_.Text();
}

void SessionReplay::Load()
{
    const driver::ScreenSize screen = desktop_.PrimaryScreenSize();
    if (!calibration_.Reload(settings_, driver::BoardScreen::PrimaryOnly(screen))) {
        transcript_.Line("box the calibration could not be read");
    }
    driver::NoteLoadProblems(*calibration_.Current(), faults_);
    NoteBoardArea();
    state_.boardKeysEnabled = calibration_.GetUseKey();
    state_.forwardPlain = false;
    penButtons_ = driver::ReadPenButtonSettings(settings_, actionMap_);
}

// The values as the file holds them after a load, whether the load wrote
// them or found them there already.
void SessionReplay::NoteBoardArea()
{
    std::string values;
    for (const char* key : {"ptArea.left", "ptArea.right", "ptArea.top", "ptArea.bottom"}) {
        values += " " + std::string(key) + "=" + settings_.ReadString("BoardArea", key, "(missing)");
    }
    transcript_.Line("BoardArea%s", values.c_str());
}

void SessionReplay::OpenOutputs()
{
    // An administrator's run with no policy set, as make run's session is.
    const common::PolicyValues noPolicies;
    const driver::MultitouchSettings multitouch =
        driver::ReadMultitouchSettings({settings_, settings_, noPolicies}, faults_);
    if (multitouch.tuio) {
        tuio_ = std::make_unique<driver::TuioOutput>(tuioChannel_, "Brelvin@127.0.0.1", "127.0.0.1:3333", faults_);
    }
    if (multitouch.touchInjection) touch_ = std::make_unique<driver::TouchOutput>(touchInjection_, faults_);
}

void SessionReplay::Play(const std::string& scriptText)
{
    if (failed_) return;
    const sim::TouchScript script = sim::ParseTouchScript(scriptText);
    if (!script.Ok()) {
        transcript_.Line("error script line %d: %s", script.errorLine, script.error.c_str());
        failed_ = true;
        return;
    }
    // Every script is played by a camera service of its own, which starts unpaced.
    pace_ = 0;
    sim::StepCursor steps(script.steps);
    std::size_t index = 0;
    while (steps.Next(index)) {
        const sim::ScriptStep& step = script.steps[index];
        switch (step.kind) {
        case sim::ScriptStep::Kind::Record:
        case sim::ScriptStep::Kind::SyncRecord: {
            driver::TouchRecordBytes record;
            std::memcpy(record, step.record.data(), sizeof record);
            Deliver(record);
            break;
        }
        case sim::ScriptStep::Kind::Pause:
            // The block is left alone for that long after the last record was taken.
            nextWriteAt_ = std::max(nextWriteAt_, desktop_.Now() + step.ms);
            break;
        case sim::ScriptStep::Kind::Pace: pace_ = step.ms; break;
        case sim::ScriptStep::Kind::WaitForDriver:
        case sim::ScriptStep::Kind::Stamp:
        case sim::ScriptStep::Kind::ConsumeTimeout:
        case sim::ScriptStep::Kind::Note:
        case sim::ScriptStep::Kind::Await: break; // nothing to wait for on a manual clock
        default:
            transcript_.Line("error script line %d: a step the replay does not play", step.line);
            failed_ = true;
            return;
        }
    }
}

// The camera service writes a record once the last one was taken and its
// pace allows; the next worker cycle takes it.
void SessionReplay::Deliver(const driver::TouchRecordBytes& record)
{
    const std::uint32_t writeAt = std::max(nextWriteAt_, lastWriteAt_ + pace_);
    while (desktop_.Now() < writeAt) Cycle(driver::TouchRecordBytes{});
    lastWriteAt_ = std::max(writeAt, desktop_.Now());
    Cycle(record);
    nextWriteAt_ = desktop_.Now();
}

void SessionReplay::Idle(std::uint32_t ms)
{
    const std::uint32_t until = desktop_.Now() + ms;
    while (desktop_.Now() < until) Cycle(driver::TouchRecordBytes{});
    nextWriteAt_ = std::max(nextWriteAt_, desktop_.Now());
}

// The window thread's due timers first, then the worker's cycle.
void SessionReplay::Cycle(const driver::TouchRecordBytes& record)
{
    TickDueTimers();
    transcript_.SetTime(desktop_.Now());
    worker_->Cycle(record);
    desktop_.Advance(kCycleMs);
}

void SessionReplay::TickDueTimers()
{
    while (const unsigned timerId = desktop_.DueTimer()) {
        const std::uint32_t dueAt = desktop_.DueAt(timerId);
        transcript_.SetTime(desktop_.Now());
        Tick(timerId);
        desktop_.NoteTicked(timerId, dueAt);
    }
}

void SessionReplay::Tick(unsigned timerId)
{
    if (timerId == driver::kTimerForwardingWatch) {
        protocol_.OnForwardingNews();
    } else {
        supervision_.OnTick(timerId);
    }
}

} // namespace

std::string ReplayBoardSession(const std::string& script, const std::string& settings, const ReplayOptions& options)
{
    return SessionReplay(settings, options).Run(script);
}

} // namespace golden
