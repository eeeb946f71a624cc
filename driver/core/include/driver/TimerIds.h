#pragma once
// The timers on the driver's window. They all fire on the window thread;
// the worker asks for the counting ones through the desktop.
namespace driver {

inline constexpr unsigned kTimerPenAndBoardKeys = 67; // pen buttons and counted keys, set A
inline constexpr unsigned kTimerSocketBoardKeys = 68; // counted keys, set B
inline constexpr unsigned kTimerHideDialog = 103;
inline constexpr unsigned kTimerSupervision = 114; // the click that completes a pen-button press
inline constexpr unsigned kTimerHookRefresh = 1021;
inline constexpr unsigned kTimerForwardingWatch = 1031; // a forwarding run's bounds
inline constexpr unsigned kTimerRecording = 1041;       // whether a recording for the board check is complete
inline constexpr unsigned kTimerDesktopCheck = 1051;    // monitors added or removed unannounced

} // namespace driver
