#include "boardcheck/StatusPoll.h"

namespace boardcheck {
namespace {

// The shortest span a rate is taken over: shorter ones say more about the
// moment the answers were made than about the camera.
constexpr std::uint32_t kMinRateSpanMs = 400;

} // namespace

const char* Name(StatusPoll::State state)
{
    switch (state) {
    case StatusPoll::State::NoDriver: return "NoDriver";
    case StatusPoll::State::Asking: return "Asking";
    case StatusPoll::State::Answering: return "Answering";
    case StatusPoll::State::Silent: return "Silent";
    }
    return "?";
}

bool StatusPoll::OnRefresh(bool driverFound, std::uint32_t now)
{
    if (!driverFound) {
        state_ = State::NoDriver;
        awaiting_ = false;
        status_ = common::BoardStatus{};
        statusText_.clear();
        samples_.clear();
        return false;
    }
    if (state_ == State::NoDriver) state_ = State::Asking;
    if (awaiting_ && now - askedAt_ >= kAnswerWaitMs) state_ = State::Silent;
    // The oldest unanswered request is the one that counts.
    if (!awaiting_) {
        awaiting_ = true;
        askedAt_ = now;
    }
    return true;
}

void StatusPoll::OnAnswer(const std::string& text, std::uint32_t)
{
    if (state_ == State::NoDriver) return; // from a driver since gone
    common::BoardStatus status = common::ParseBoardStatus(text);
    if (status.protocol < 1) return;
    // Another driver process: its counts start anew.
    if (status.processId != status_.processId) samples_.clear();
    if (!samples_.empty() && status.tick == samples_.back().tick) samples_.pop_back();
    samples_.push_back({status.tick, status.records});
    while (samples_.size() > 2 && status.tick - samples_[1].tick >= kRateSpanMs) samples_.pop_front();
    status_ = std::move(status);
    statusText_ = text;
    awaiting_ = false;
    state_ = State::Answering;
}

double StatusPoll::RecordsPerSecond() const
{
    if (samples_.size() < 2) return -1;
    const Sample& first = samples_.front();
    const Sample& last = samples_.back();
    const std::uint32_t span = last.tick - first.tick;
    if (span < kMinRateSpanMs) return -1;
    return static_cast<double>(last.records - first.records) * 1000.0 / static_cast<double>(span);
}

} // namespace boardcheck
