#pragma once
// How the board check stands with the driver. Each refresh looks for the
// driver's window and, when there is one, asks it again; answers come back
// on their own (the driver sends them). The check never waits for the
// driver: a driver that does not answer in time is said to be silent, one
// whose window is gone is said not to run.
//
//   NoDriver --refresh, window found--> Asking
//   Asking, Answering, Silent --answer--> Answering
//   Asking, Answering --refresh, oldest request unanswered for kAnswerWaitMs--> Silent
//   any --refresh, no window--> NoDriver (what the driver said is forgotten)
#include "common/BoardStatus.h"

#include <cstdint>
#include <deque>
#include <string>

namespace boardcheck {

class StatusPoll {
public:
    enum class State { NoDriver, Asking, Answering, Silent };

    static constexpr std::uint32_t kAnswerWaitMs = 2000;
    // The frame rate is taken over the answers of this long.
    static constexpr std::uint32_t kRateSpanMs = 2000;

    // A refresh at `now` (the check's own clock); true when a request is to
    // be sent.
    bool OnRefresh(bool driverFound, std::uint32_t now);
    // An answer's text, as it came.
    void OnAnswer(const std::string& text, std::uint32_t now);

    State CurrentState() const { return state_; }
    // The last answer (empty unless Answering or Silent) and its text.
    const common::BoardStatus& Status() const { return status_; }
    const std::string& StatusText() const { return statusText_; }
    // Records a second as the driver counts them, over the answers of the
    // last kRateSpanMs of its clock; negative until two answers span enough.
    double RecordsPerSecond() const;

private:
    struct Sample {
        std::uint32_t tick;
        std::uint32_t records;
    };

    State state_ = State::NoDriver;
    bool awaiting_ = false;
    std::uint32_t askedAt_ = 0;
    common::BoardStatus status_;
    std::string statusText_;
    std::deque<Sample> samples_;
};

const char* Name(StatusPoll::State state);

} // namespace boardcheck
