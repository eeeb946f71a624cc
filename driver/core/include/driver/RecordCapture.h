#pragma once
// The next seconds of records, kept for a recording. The window thread arms
// a capture with room for every record it may take (the worker never
// allocates); the worker fills it from its next cycle on until the time is
// up or the room is full; then the window thread takes the records.
//
//   Idle --Arm (window)--> Armed --first cycle (worker)--> Capturing
//   Capturing --time up or full (worker)--> Complete --Take (window)--> Idle
//
// Only the side named on a transition makes it, so the records themselves
// need no lock: the worker writes them only while Capturing, the window
// thread reads them only once Complete.
#include "driver/TouchRecord.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace driver {

// Where the contacts of a record went when it was read.
enum class RecordRoute : std::uint8_t { Mouse, PairSplit, HalfSplit, Forwarding };

const char* Name(RecordRoute route);

struct CapturedRecord {
    std::uint32_t tick = 0; // when the worker read it
    std::array<std::uint8_t, kTouchRecordSize> bytes = {};
    RecordRoute route = RecordRoute::Mouse;
};

class RecordCapture {
public:
    enum class State { Idle, Armed, Capturing, Complete };

    // Window thread. False unless Idle.
    bool Arm(std::uint32_t durationMs, std::size_t capacity);
    State CurrentState() const { return state_.load(std::memory_order_acquire); }
    bool Busy() const
    {
        const State state = CurrentState();
        return state == State::Armed || state == State::Capturing;
    }
    // Window thread, once Complete: the records in the order read; the
    // capture is Idle again. Empty in any other state.
    std::vector<CapturedRecord> Take();

    // Worker, every cycle while Busy: keeps `record` unless it is all zero.
    void OnCycle(const TouchRecordBytes& record, std::uint32_t now, RecordRoute route);

private:
    std::atomic<State> state_{State::Idle};
    std::vector<CapturedRecord> records_;
    std::size_t count_ = 0; // the worker's while Capturing
    std::uint32_t durationMs_ = 0;
    std::uint32_t startedAt_ = 0;
};

} // namespace driver
