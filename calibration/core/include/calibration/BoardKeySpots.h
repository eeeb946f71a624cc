#pragma once
// The board's 14 printed keys, as the calibration teaches them: each is
// printed twice (copy 0 holds key points Rpt0..13, copy 1 Rpt14..27), and a
// teacher touches the 14 spots of one copy in key order. What each key does
// is the driver's (common/BoardCodes.h); the window says it with the key.
#include "calibration/TargetRun.h"

#include "common/BoardCodes.h"

#include <array>
#include <cstdint>

namespace calibration {

inline constexpr int kBoardKeys = code::kBoardKeyCount;
inline constexpr int kKeyCopies = 2;

enum class KeyRole {
    Command,     // posts a command to the drawing application at once
    CountedKey,  // counted presses, reported when the counting window ends
    Calibration, // starts the calibration program
};

const char* Name(KeyRole role);

struct BoardKeySpot {
    int key = 0;
    KeyRole role = KeyRole::Command;
    // Command: the command code the driver posts; CountedKey: the counted
    // key's number, 1..6; Calibration: 0.
    int code = 0;
};

// Keys 0..13, in the order they are taught.
const std::array<BoardKeySpot, kBoardKeys>& BoardKeySpots();

// The key point's index in [Button] (Rpt<n>) of key `key` of copy `copy`.
inline int KeyPointIndex(int copy, int key)
{
    return copy * code::kKeyCopyOffset + key;
}

// One copy's 14 spots as the camera reports them (never turned).
struct TaughtKeys {
    int copy = 0;
    std::array<Point, kBoardKeys> camera = {};
};

// Teaching one copy's keys: a run of 14 targets in key order. The spots are
// printed, not shown, so nothing predicts them; a touch on a spot already
// taught for another key is refused.
class KeyTeaching {
public:
    // Printed keys stand a key's height apart, far more than this (camera
    // units); a second touch of one key lands well within it.
    static constexpr double kMinKeyApart = 40;

    // `copy` 0 or 1 (kept within that).
    KeyTeaching(int copy, std::uint32_t nowMs);

    TargetRun::Step OnSample(const PenSample& sample) { return run_.OnSample(sample); }
    TargetRun::Step OnTick(std::uint32_t nowMs) { return run_.OnTick(nowMs); }
    bool Undo(std::uint32_t nowMs) { return run_.Undo(nowMs); }
    void Retake(const std::vector<int>& keys, std::uint32_t nowMs) { run_.Retake(keys, nowMs); }
    void Cancel() { run_.Cancel(); }

    const TargetRun& Run() const { return run_; }
    // The spots as touched; complete only in state Complete.
    TaughtKeys Result() const;

private:
    int copy_;
    TargetRun run_;
};

} // namespace calibration
