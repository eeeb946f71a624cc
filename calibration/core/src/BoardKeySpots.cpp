#include "calibration/BoardKeySpots.h"

#include <algorithm>

namespace calibration {
namespace {

std::array<BoardKeySpot, kBoardKeys> MakeSpots()
{
    std::array<BoardKeySpot, kBoardKeys> spots = {};
    for (int key = 0; key < kBoardKeys; ++key) {
        BoardKeySpot& spot = spots[static_cast<std::size_t>(key)];
        spot.key = key;
        const int counted = key - code::kFirstCountedKey;
        if (key == code::kCalibrationKey) {
            spot.role = KeyRole::Calibration;
        } else if (counted >= 0 && counted < code::kCountedKeys) {
            spot.role = KeyRole::CountedKey;
            spot.code = counted + 1;
        } else {
            spot.role = KeyRole::Command;
            spot.code = code::kKeyCommands[static_cast<std::size_t>(key)];
        }
    }
    return spots;
}

Expectation AwayFromTaught(int key, const TargetRun::Points& taken)
{
    Expectation expectation;
    for (int k = 0; k < kBoardKeys; ++k) {
        const auto& spot = taken[static_cast<std::size_t>(k)];
        if (k != key && spot) expectation.awayFrom.push_back(*spot);
    }
    expectation.apart = KeyTeaching::kMinKeyApart;
    return expectation;
}

} // namespace

const char* Name(KeyRole role)
{
    switch (role) {
    case KeyRole::Command: return "Command";
    case KeyRole::CountedKey: return "CountedKey";
    case KeyRole::Calibration: return "Calibration";
    }
    return "?";
}

const std::array<BoardKeySpot, kBoardKeys>& BoardKeySpots()
{
    static const std::array<BoardKeySpot, kBoardKeys> spots = MakeSpots();
    return spots;
}

KeyTeaching::KeyTeaching(int copy, std::uint32_t nowMs)
    : copy_(std::clamp(copy, 0, kKeyCopies - 1)),
      run_(kBoardKeys, nowMs, AwayFromTaught)
{}

TaughtKeys KeyTeaching::Result() const
{
    TaughtKeys keys;
    keys.copy = copy_;
    for (int k = 0; k < kBoardKeys; ++k)
        keys.camera[static_cast<std::size_t>(k)] = run_.TakenPoints()[static_cast<std::size_t>(k)].value_or(Point{});
    return keys;
}

} // namespace calibration
