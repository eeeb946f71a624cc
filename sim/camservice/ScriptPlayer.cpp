#include "ScriptPlayer.h"

#include "common/Messages.h"
#include "sim/LineLog.h"
#include "sim/SharedTouchBlock.h"

#include <windows.h>

namespace sim {
namespace {

// How often a plain wait looks at its condition; precise enough for the
// driver's 2 ms cycle without keeping a core busy.
constexpr unsigned kPollMs = 1;

} // namespace

ScriptPlayer::ScriptPlayer(TouchScript script, std::string logPath, std::string stampPath)
    : script_(std::move(script)), logPath_(std::move(logPath)), stampPath_(std::move(stampPath)) {}

ScriptPlayer::~ScriptPlayer() { Stop(); }

void ScriptPlayer::Start() {
    if (thread_.joinable()) return;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
}

void ScriptPlayer::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void ScriptPlayer::Run() {
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
    case Outcome::Done:
        AppendLine(logPath_, "script done " + std::to_string(played_));
        break;
    case Outcome::TimedOut:
        AppendLine(logPath_, "script timeout line " + std::to_string(failedLine_));
        break;
    case Outcome::Stopped:
        AppendLine(logPath_, "script stopped " + std::to_string(played_));
        break;
    case Outcome::Failed:
        break;
    }
}

ScriptPlayer::Outcome ScriptPlayer::Play() {
    SharedTouchBlock block;
    if (const unsigned long error = block.Open()) {
        AppendLine(logPath_, "script error block " + std::to_string(error));
        return Outcome::Failed;
    }
    unsigned paceMs = 0;
    unsigned timeoutMs = kDefaultConsumeTimeoutMs;
    bool stamping = false;
    long long lastWrite = 0;
    for (const ScriptStep& step : script_.steps) {
        if (stop_) return Outcome::Stopped;
        switch (step.kind) {
        case ScriptStep::Kind::WaitForDriver:
            if (!WaitForDriverWindow(step.ms)) {
                failedLine_ = step.line;
                return stop_ ? Outcome::Stopped : Outcome::TimedOut;
            }
            break;
        case ScriptStep::Kind::Pause:
            if (!WaitMilliseconds(step.ms)) return Outcome::Stopped;
            break;
        case ScriptStep::Kind::Pace:
            paceMs = step.ms;
            break;
        case ScriptStep::Kind::Stamp:
            stamping = true;
            stamps_.reserve(script_.steps.size());
            break;
        case ScriptStep::Kind::ConsumeTimeout:
            timeoutMs = step.ms;
            break;
        case ScriptStep::Kind::Record:
        case ScriptStep::Kind::SyncRecord: {
            if (paceMs && lastWrite) {
                const long long due = lastWrite + static_cast<long long>(paceMs) * 1000;
                const long long now = NowMicroseconds();
                if (due > now && !WaitMilliseconds(static_cast<unsigned>((due - now + 999) / 1000))) {
                    return Outcome::Stopped;
                }
            }
            if (!block.Write(step.record, timeoutMs)) {
                failedLine_ = step.line;
                return Outcome::TimedOut;
            }
            const long long written = NowMicroseconds();
            lastWrite = written;
            const long long deadline = written + static_cast<long long>(timeoutMs) * 1000;
            // While stamping, look without pause: the times measure the driver.
            while (!block.Consumed()) {
                if (stop_) return Outcome::Stopped;
                if (NowMicroseconds() > deadline) {
                    failedLine_ = step.line;
                    return Outcome::TimedOut;
                }
                if (stamping) {
                    SwitchToThread();
                } else {
                    Sleep(kPollMs);
                }
            }
            if (stamping && step.kind == ScriptStep::Kind::Record) {
                stamps_.push_back(Stamp{written, NowMicroseconds()});
            }
            if (step.kind == ScriptStep::Kind::Record) ++played_;
            break;
        }
        }
    }
    return Outcome::Done;
}

bool ScriptPlayer::WaitMilliseconds(unsigned ms) {
    const long long deadline = NowMicroseconds() + static_cast<long long>(ms) * 1000;
    while (NowMicroseconds() < deadline) {
        if (stop_) return false;
        Sleep(kPollMs);
    }
    return !stop_;
}

// The driver's window exists while its start-up still runs; only once it
// answers messages is its input side (the mouse hook of its thread) awake.
bool ScriptPlayer::WaitForDriverWindow(unsigned ms) {
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
