#pragma once
// Every flag and counter that the window thread and the touch worker share.
// Each is a single word read and written whole; no ordering between them is
// relied on. The pointers' own state is the worker's alone and lives in the
// pointer machines, not here.
#include "driver/Desktop.h"
#include "driver/TimerIds.h"

#include <atomic>
#include <cstdint>

namespace driver {

// The cursor the worker saves at a pen-button press, which the timer reads
// as one place: both coordinates in one atomic word, so that a press saved
// between two reads never hands the timer the x of one and the y of another.
class SavedCursor {
public:
    void Store(ScreenPosition at) { word_.store(Pack(at)); }
    ScreenPosition Load() const { return Unpack(word_.load()); }

private:
    static std::uint64_t Pack(ScreenPosition at)
    {
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(at.x)) << 32 | static_cast<std::uint32_t>(at.y);
    }
    static ScreenPosition Unpack(std::uint64_t word)
    {
        return {static_cast<std::int32_t>(static_cast<std::uint32_t>(word >> 32)),
                static_cast<std::int32_t>(static_cast<std::uint32_t>(word))};
    }

    // Without a lock on every build, the 32-bit one included: the worker
    // never waits for the window thread.
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free, "a saved cursor is one lock-free word");
    std::atomic<std::uint64_t> word_{0};
};

inline constexpr int kCountedBoardKeys = 6;

// Where the contacts of a record go besides the mouse: nowhere, the second
// pair of slots to the touch socket, or the right half of the screen to it.
enum class SocketRouting { Off, PairSplit, HalfSplit };

// A forwarding run of raw records to the calibration program. Only once its
// client has connected (Forwarding) does the worker forward instead of
// driving the mouse.
enum class ForwardingState { Idle, AwaitingClient, Forwarding };

const char* Name(SocketRouting routing);
const char* Name(ForwardingState state);

struct DriverState {
    // Worker cycles since the last touch activity; above kIdleCycles the
    // hook's double-click handling is switched off.
    static constexpr int kIdleCycles = 500;
    std::atomic<int> idleCount{0};

    // 0 unknown, 1 or 2 as reported by the camera service or device detection.
    std::atomic<int> cameraKind{0};
    // The drawing application has been told a camera is connected.
    std::atomic<bool> connectNoticeSent{false};

    // Kept by the window thread's forwarding runs; the one record of whether
    // the driver forwards.
    std::atomic<ForwardingState> forwarding{ForwardingState::Idle};
    // While forwarding: skip the calibration-key test.
    std::atomic<bool> forwardPlain{false};
    bool Forwarding() const { return forwarding == ForwardingState::Forwarding; }

    std::atomic<SocketRouting> socketRouting{SocketRouting::Off};
    // The USE_KEY value in force: non-zero tests every new press against
    // the board keys.
    std::atomic<int> boardKeysEnabled{0};

    // Counts the window thread's changes of where contacts go (socket
    // routing switched, a forwarding run's client connecting, a camera
    // arriving or leaving). The worker ends every contact in progress when it
    // sees the count move, so even a switch and its undoing between two
    // records are noticed.
    std::atomic<unsigned> routingChanges{0};
    void NoteRoutingChange() { ++routingChanges; }

    // One-shot permissions, re-armed by releases.
    std::atomic<bool> actionArmed{true};
    std::atomic<bool> socketKeyArmed{true};

    // Presses counted by the worker, turned into messages and reset by the
    // window thread's timers.
    std::atomic<int> frontPenPresses{0};
    std::atomic<int> rearPenPresses{0};
    SavedCursor savedCursor;
    std::atomic<int> boardKeyPressesA[kCountedBoardKeys] = {};
    std::atomic<int> boardKeyPressesB[kCountedBoardKeys] = {};

    // Cleared by another program to swallow the click that completes the
    // next pen-button press; the click's timer arms it again.
    std::atomic<bool> penClickArmed{true};
};

} // namespace driver
