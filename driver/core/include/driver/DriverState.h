#pragma once
// Every flag and counter that the window thread and the touch worker share.
// Each is a single word read and written whole; no ordering between them is
// relied on, so relaxed operations would do, but the defaults keep reading
// simple. The gesture machines' own pointer state is the worker's alone and
// lives in the machines, not here.
#include <atomic>
#include <cstdint>

namespace driver {

// Timers on the driver's window.
inline constexpr unsigned kTimerPenAndBoardKeys = 67;  // pen buttons and counted keys, set A
inline constexpr unsigned kTimerSocketBoardKeys = 68;  // counted keys, set B
inline constexpr unsigned kTimerHideDialog = 103;
inline constexpr unsigned kTimerSupervision = 114;  // the click that completes a pen-button press
inline constexpr unsigned kTimerHookRefresh = 1021;
inline constexpr unsigned kTimerForwardingWatch = 1031;  // a forwarding run's bounds

inline constexpr int kCountedBoardKeys = 6;

struct DriverState {
    // Worker cycles since the last touch activity; above kIdleCycles the
    // hook's double-click handling is switched off.
    static constexpr int kIdleCycles = 500;
    std::atomic<int> idleCount{0};

    // 0 unknown, 1 or 2 as reported by the camera service or device detection.
    std::atomic<int> cameraKind{0};
    // 1 once the drawing application has been told a camera is connected.
    std::atomic<int> connectNoticeSent{0};

    // Raw forwarding to the pipe instead of local processing.
    std::atomic<int> forwardingActive{0};
    // While forwarding: 1 skips the calibration-key test.
    std::atomic<int> forwardPlain{0};

    // Socket side of the gesture machines: off, or on with variant 0 (slots
    // 2-3 to the socket) or 1 (right half of the screen to the socket).
    std::atomic<int> socketMode{0};
    std::atomic<int> socketVariant{0};

    std::atomic<int> boardKeysEnabled{0};

    // Counts the window thread's changes of where contacts go (socket mode
    // on or off, a forwarding run starting, a camera arriving or leaving).
    // The worker ends every contact in progress when it sees the count move,
    // so even a switch and its undoing between two records are noticed.
    std::atomic<unsigned> routingChanges{0};
    void NoteRoutingChange() { ++routingChanges; }

    // One-shot permissions, re-armed by releases.
    std::atomic<int> actionArmed{1};
    std::atomic<int> socketKeyArmed{1};

    // Presses counted by the worker, turned into messages and reset by the
    // window thread's timers.
    std::atomic<int> frontPenPresses{0};
    std::atomic<int> rearPenPresses{0};
    std::atomic<int> savedCursorX{0};
    std::atomic<int> savedCursorY{0};
    std::atomic<int> boardKeyPressesA[kCountedBoardKeys] = {};
    std::atomic<int> boardKeyPressesB[kCountedBoardKeys] = {};

    // Cleared by another program to swallow the click that completes the
    // next pen-button press; the click's timer arms it again.
    std::atomic<int> penClickArmed{1};

    // Socket releases seen towards the next double-tap pair.
    std::atomic<int> tapCount{0};

    // What the dialog does at start-up and on close for the process-wide state.
    void ResetForStartOrClose() { tapCount = 0; }
};

} // namespace driver
