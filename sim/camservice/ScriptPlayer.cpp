#include "ScriptPlayer.h"

#include "common/Messages.h"
#include "sim/LineLog.h"
#include "sim/StepCursor.h"

namespace sim {
namespace {

// How often a plain wait looks at its condition; precise enough for the
// driver's 2 ms cycle without keeping a core busy.
constexpr unsigned kPollMs = 1;
// What a crashed service leaves as its exit code.
constexpr UINT kDiedExitCode = 3;

} // namespace

ScriptPlayer::ScriptPlayer(TouchScript script, std::string logPath, std::string stampPath, HWND window,
                           WindowFaults& faults)
    : script_(std::move(script)),
      logPath_(std::move(logPath)),
      stampPath_(std::move(stampPath)),
      window_(window),
      faults_(faults)
{}

ScriptPlayer::~ScriptPlayer()
{
    Stop();
}

void ScriptPlayer::Start()
{
    if (thread_.joinable()) return;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
}

void ScriptPlayer::Stop()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void ScriptPlayer::Run()
{
    AppendLine(logPath_, "script begin " + std::to_string(script_.RecordCount()));
    const Outcome outcome = Play();
    // The stamps are in place before the outcome line that readers wait for.
    if (!stamps_.empty()) {
        std::string text;
        for (const Stamp& stamp : stamps_) {
            text += std::to_string(stamp.written) + " " + std::to_string(stamp.consumed) + "\r\n";
        }
        WriteWholeFile(stampPath_, text);
    }
    switch (outcome) {
    case Outcome::Done: AppendLine(logPath_, "script done " + std::to_string(played_)); break;
    case Outcome::TimedOut: AppendLine(logPath_, "script timeout line " + std::to_string(failedLine_)); break;
    case Outcome::Stopped: AppendLine(logPath_, "script stopped " + std::to_string(played_)); break;
    case Outcome::Failed: break;
    }
}

ScriptPlayer::Outcome ScriptPlayer::Play()
{
    SharedTouchBlock block;
    if (const unsigned long error = block.Open()) {
        AppendLine(logPath_, "script error block " + std::to_string(error));
        return Outcome::Failed;
    }
    Timing timing;
    StepCursor cursor(script_.steps);
    std::size_t index = 0;
    while (cursor.Next(index)) {
        if (stop_) return Outcome::Stopped;
        Outcome outcome = Outcome::Done;
        if (!PlayStep(script_.steps[index], block, timing, outcome)) return outcome;
    }
    return Outcome::Done;
}

bool ScriptPlayer::PlayStep(const ScriptStep& step, SharedTouchBlock& block, Timing& timing, Outcome& outcome)
{
    switch (step.kind) {
    case ScriptStep::Kind::WaitForDriver:
        if (!WaitForDriverWindow(step.ms)) {
            failedLine_ = step.line;
            outcome = stop_ ? Outcome::Stopped : Outcome::TimedOut;
            return false;
        }
        return true;
    case ScriptStep::Kind::Pause:
        if (WaitMilliseconds(step.ms)) return true;
        outcome = Outcome::Stopped;
        return false;
    case ScriptStep::Kind::Pace: timing.paceMs = step.ms; return true;
    case ScriptStep::Kind::Stamp:
        timing.stamping = true;
        stamps_.reserve(script_.steps.size());
        return true;
    case ScriptStep::Kind::ConsumeTimeout: timing.timeoutMs = step.ms; return true;
    case ScriptStep::Kind::Realtime:
        timing.framesPerSecond = step.value;
        timing.frameBase = 0;
        return true;
    case ScriptStep::Kind::Record:
        if (timing.framesPerSecond) return WriteRealtime(step, block, timing, outcome);
        return WriteWaited(step, block, timing, outcome);
    case ScriptStep::Kind::SyncRecord:
        // A sync is there to meet the driver: it always waits.
        return WriteWaited(step, block, timing, outcome);
    case ScriptStep::Kind::Die: Die("script die");
    case ScriptStep::Kind::DieHoldingLock:
        if (!block.Lock(timing.timeoutMs)) {
            failedLine_ = step.line;
            outcome = Outcome::TimedOut;
            return false;
        }
        Die("script die-holding-lock");
    case ScriptStep::Kind::HangLock: return HoldLock(step, block, timing, outcome);
    case ScriptStep::Kind::HangWindow:
        faults_.HangWindow(window_, step.ms, step.forever);
        AppendLine(logPath_, "script hang-window");
        return true;
    case ScriptStep::Kind::HangOn:
        faults_.HangOn(step.value);
        AppendLine(logPath_, "script hang-on " + std::to_string(step.value));
        return true;
    case ScriptStep::Kind::Note: AppendLine(logPath_, "script note " + step.text); return true;
    case ScriptStep::Kind::Await:
        switch (faults_.Await(step.value, step.ms, stop_)) {
        case AwaitOutcome::Received: return true;
        case AwaitOutcome::TimedOut:
            failedLine_ = step.line;
            outcome = Outcome::TimedOut;
            return false;
        case AwaitOutcome::Stopped: outcome = Outcome::Stopped; return false;
        }
        return true;
    case ScriptStep::Kind::LoopBegin:
    case ScriptStep::Kind::LoopEnd:
        // Taken by the cursor.
        return true;
    }
    return true;
}

bool ScriptPlayer::WriteWaited(const ScriptStep& step, SharedTouchBlock& block, Timing& timing, Outcome& outcome)
{
    if (timing.paceMs && timing.lastWrite) {
        const long long due = timing.lastWrite + static_cast<long long>(timing.paceMs) * 1000;
        if (!WaitUntilMicroseconds(due)) {
            outcome = Outcome::Stopped;
            return false;
        }
    }
    if (!block.Write(step.record, timing.timeoutMs)) {
        failedLine_ = step.line;
        outcome = Outcome::TimedOut;
        return false;
    }
    const long long written = NowMicroseconds();
    timing.lastWrite = written;
    const long long deadline = written + static_cast<long long>(timing.timeoutMs) * 1000;
    // While stamping, look without pause: the times measure the driver.
    while (!block.Consumed()) {
        if (stop_) {
            outcome = Outcome::Stopped;
            return false;
        }
        if (NowMicroseconds() > deadline) {
            failedLine_ = step.line;
            outcome = Outcome::TimedOut;
            return false;
        }
        if (timing.stamping) {
            SwitchToThread();
        } else {
            Sleep(kPollMs);
        }
    }
    if (timing.stamping && step.kind == ScriptStep::Kind::Record) {
        stamps_.push_back(Stamp{written, NowMicroseconds()});
    }
    if (step.kind == ScriptStep::Kind::Record) ++played_;
    return true;
}

// A camera writes every frame on time; one the driver has not read is simply
// overwritten. A frame that comes late (the lock was held) starts a new run
// of frames rather than a burst to catch up.
bool ScriptPlayer::WriteRealtime(const ScriptStep& step, SharedTouchBlock& block, Timing& timing, Outcome& outcome)
{
    const long long period = 1000000LL / timing.framesPerSecond;
    long long now = NowMicroseconds();
    if (timing.frameBase == 0 || now > timing.frameBase + (timing.frames + 1) * period) {
        timing.frameBase = now;
        timing.frames = 0;
    }
    const long long due = timing.frameBase + timing.frames * 1000000LL / timing.framesPerSecond;
    if (!WaitUntilMicroseconds(due)) {
        outcome = Outcome::Stopped;
        return false;
    }
    if (!block.Write(step.record, timing.timeoutMs)) {
        failedLine_ = step.line;
        outcome = Outcome::TimedOut;
        return false;
    }
    timing.lastWrite = NowMicroseconds();
    ++timing.frames;
    ++played_;
    return true;
}

bool ScriptPlayer::HoldLock(const ScriptStep& step, SharedTouchBlock& block, Timing& timing, Outcome& outcome)
{
    if (!block.Lock(timing.timeoutMs)) {
        failedLine_ = step.line;
        outcome = Outcome::TimedOut;
        return false;
    }
    AppendLine(logPath_, "script hang-lock");
    bool kept = true;
    if (step.forever) {
        while (!stop_) Sleep(kPollMs * 10);
        kept = false;
    } else {
        kept = WaitMilliseconds(step.ms);
    }
    block.Unlock();
    if (kept) return true;
    outcome = Outcome::Stopped;
    return false;
}

void ScriptPlayer::Die(const char* what)
{
    AppendLine(logPath_, what);
    TerminateProcess(GetCurrentProcess(), kDiedExitCode);
    for (;;) Sleep(INFINITE);
}

bool ScriptPlayer::WaitMilliseconds(unsigned ms)
{
    return WaitUntilMicroseconds(NowMicroseconds() + static_cast<long long>(ms) * 1000);
}

bool ScriptPlayer::WaitUntilMicroseconds(long long due)
{
    while (NowMicroseconds() < due) {
        if (stop_) return false;
        Sleep(kPollMs);
    }
    return !stop_;
}

// The driver's window exists while its start-up still runs; only once it
// answers messages is its input side (the mouse hook of its thread) awake.
bool ScriptPlayer::WaitForDriverWindow(unsigned ms)
{
    const long long deadline = NowMicroseconds() + static_cast<long long>(ms) * 1000;
    for (;;) {
        if (HWND window = FindWindowA(wnd::kDriverClass, wnd::kDriverCaption)) {
            DWORD_PTR answer = 0;
            if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 100, &answer)) return true;
        }
        if (stop_ || NowMicroseconds() > deadline) return false;
        Sleep(kPollMs * 10);
    }
}

} // namespace sim
