#include "driver/RecordCapture.h"

#include <algorithm>
#include <utility>

namespace driver {

const char* Name(RecordRoute route)
{
    switch (route) {
    case RecordRoute::Mouse: return "mouse";
    case RecordRoute::PairSplit: return "pair-split";
    case RecordRoute::HalfSplit: return "half-split";
    case RecordRoute::Forwarding: return "forwarding";
    }
    return "mouse";
}

bool RecordCapture::Arm(std::uint32_t durationMs, std::size_t capacity)
{
    if (CurrentState() != State::Idle || capacity == 0) return false;
    records_.assign(capacity, CapturedRecord{});
    count_ = 0;
    durationMs_ = durationMs;
    state_.store(State::Armed, std::memory_order_release);
    return true;
}

std::vector<CapturedRecord> RecordCapture::Take()
{
    if (CurrentState() != State::Complete) return {};
    std::vector<CapturedRecord> taken = std::move(records_);
    taken.resize(count_);
    records_ = {};
    state_.store(State::Idle, std::memory_order_release);
    return taken;
}

void RecordCapture::OnCycle(const TouchRecordBytes& record, std::uint32_t now, RecordRoute route)
{
    State state = CurrentState();
    if (state == State::Armed) {
        startedAt_ = now;
        state = State::Capturing;
        state_.store(state, std::memory_order_relaxed);
    }
    if (state != State::Capturing) return;
    if (now - startedAt_ >= durationMs_) {
        state_.store(State::Complete, std::memory_order_release);
        return;
    }
    if (std::all_of(record, record + kTouchRecordSize, [](std::uint8_t b) { return b == 0; })) return;
    CapturedRecord& kept = records_[count_++];
    kept.tick = now;
    std::copy(record, record + kTouchRecordSize, kept.bytes.begin());
    kept.route = route;
    if (count_ == records_.size()) state_.store(State::Complete, std::memory_order_release);
}

} // namespace driver
