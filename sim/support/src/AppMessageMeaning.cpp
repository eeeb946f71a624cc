#include "sim/AppMessageMeaning.h"

#include <array>

namespace sim {
namespace {

constexpr unsigned kBoardEvent = 0x07F2;
constexpr unsigned kPenButtonEvent = 0x07F4;

constexpr long long kCameraConnected = 2321;
constexpr long long kDriverClosingOrCameraGone = 281;
constexpr long long kPenAction = 100;
constexpr long long kSocketSide = 2;

constexpr std::array<unsigned long long, 6> kOncePressCodes = {17, 18, 19, 20, 21, 22};
constexpr std::array<unsigned long long, 6> kAgainPressCodes = {273, 274, 275, 276, 277, 266};

// The keys that post their code at once, by code.
std::string PostingKey(unsigned long long code)
{
    switch (code) {
    case 25: return "0";
    case 32: return "1";
    case 23: return "2";
    case 24: return "3";
    case 48: return "10";
    case 49: return "11";
    case 33: return "13 (or rear pen button twice without the main tool window)";
    default: return std::string();
    }
}

std::string CountedKey(unsigned long long code)
{
    for (std::size_t key = 0; key < kOncePressCodes.size(); ++key) {
        if (kOncePressCodes[key] == code) return "counted key " + std::to_string(key + 1) + " pressed";
        if (kAgainPressCodes[key] == code) return "counted key " + std::to_string(key + 1) + " pressed more than once";
    }
    return std::string();
}

std::string BoardEventMeaning(unsigned long long wParam, long long lParam)
{
    switch (lParam) {
    case kCameraConnected: return "camera connected (kind " + std::string(wParam == 10 ? "2" : "1") + ")";
    case kDriverClosingOrCameraGone: return "driver closing or camera removed";
    case kPenAction: return "pen button, action " + std::to_string(wParam);
    case 0:
    case kSocketSide: {
        const std::string side = lParam == kSocketSide ? ", socket side" : "";
        const std::string counted = CountedKey(wParam);
        if (!counted.empty()) return counted + side;
        const std::string key = lParam == 0 ? PostingKey(wParam) : std::string();
        return key.empty() ? std::string() : "board key " + key;
    }
    default: return std::string();
    }
}

std::string PenButtonMeaning(unsigned long long wParam)
{
    switch (wParam) {
    case 1: return "front pen button once";
    case 2: return "front pen button more than once";
    case 3: return "rear pen button once";
    case 4: return "rear pen button more than once";
    default: return std::string();
    }
}

} // namespace

std::string AppMessageMeaning(unsigned message, unsigned long long wParam, long long lParam)
{
    if (message == kBoardEvent) return BoardEventMeaning(wParam, lParam);
    if (message == kPenButtonEvent && lParam == 0) return PenButtonMeaning(wParam);
    return std::string();
}

} // namespace sim
