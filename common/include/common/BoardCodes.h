#pragma once
// The numbers other programs see in the driver's messages besides the
// message numbers themselves (common/Messages.h): the wParam and lParam
// codes of WM_BOARD_EVENT and WM_PEN_BUTTON_EVENT, the requests of
// "CvDriverSet", and the board's key numbers those codes stand for. One
// home, so the driver, the stand-ins and the documents cannot drift apart
// (a test checks that docs/INTEGRATION.md lists every one).
#include <array>
#include <cstdint>

namespace code {

// WM_BOARD_EVENT to the drawing application ----------------------------

// The camera is connected: wParam by camera kind, lParam 2321.
inline constexpr std::uintptr_t kCameraKind1Notice = 0;
inline constexpr std::uintptr_t kCameraKind2Notice = 10;
inline constexpr std::intptr_t kCameraConnected = 2321;
// lParam 0x119 with wParam 0: the driver is closing, or a listed camera was
// pulled out.
inline constexpr std::intptr_t kBoardGone = 281;

// The board's 14 keys, each printed at two places (key n and key n + 14 of
// the calibration's key points).
inline constexpr int kBoardKeyCount = 14;
inline constexpr int kKeyCopyOffset = kBoardKeyCount;
inline constexpr int kCalibrationKey = 12; // starts the calibration program
inline constexpr int kFirstCountedKey = 4; // keys 4..9 are counted
inline constexpr int kCountedKeys = 6;

// wParam of the keys that post a command at once; 0 marks the counted keys
// and the calibration key, which act otherwise. lParam 0.
inline constexpr std::array<int, kBoardKeyCount> kKeyCommands = {
    25, 32, 23, 24, 0, 0, 0, 0, 0, 0, 48, 49, 0, 33,
};
// Counted keys 1..6 (board keys 4..9): pressed once, and pressed two or
// more times (posted before the once code). The last is 266, not 278.
inline constexpr std::array<int, kCountedKeys> kCountedOnce = {17, 18, 19, 20, 21, 22};
inline constexpr std::array<int, kCountedKeys> kCountedMore = {273, 274, 275, 276, 277, 266};
// lParam of the counted keys: the local set, or the socket's half (set B).
inline constexpr std::intptr_t kLocalKeySet = 0;
inline constexpr std::intptr_t kSocketKeySet = 2;

// lParam tagging a pen button's action code (IF_SET_F_NO_T 0).
inline constexpr std::intptr_t kPenActionTag = 100;
// Pen-button choice 0..10 (as the pen-button tool stores it) to action code.
inline constexpr std::array<int, 11> kPenActions = {25, 32, 23, 24, 17, 16, 22, 53, 37, 39, 38};
// wParam: the rear button pressed twice while no main tool window exists.
inline constexpr std::uintptr_t kRearTwiceWithoutMainTool = 33;

// WM_BOARD_EVENT to the main tool window: the answer to "CvDriverSet" 100,
// lParam 1 when a socket routing is on.
inline constexpr std::uintptr_t kSocketStateAnswer = 1002;

// WM_PEN_BUTTON_EVENT to the drawing application (IF_SET_F_NO_T not 0) ---
inline constexpr std::uintptr_t kPenFrontOnce = 1;
inline constexpr std::uintptr_t kPenFrontMore = 2;
inline constexpr std::uintptr_t kPenRearOnce = 3;
inline constexpr std::uintptr_t kPenRearMore = 4;

// "CvDriverSet" requests (wParam) and their lParams ----------------------
inline constexpr std::uintptr_t kDriverSetSwallowPenClick = 10; // lParam 1
inline constexpr std::uintptr_t kDriverSetOpenSocket = 30;      // lParam 6 or 7
inline constexpr std::uintptr_t kDriverSetCloseSocket = 31;     // lParam 6 or 7
inline constexpr std::uintptr_t kDriverSetQuerySocket = 100;
inline constexpr std::intptr_t kSocketPairSplit = 6; // the second pair of slots to the socket
inline constexpr std::intptr_t kSocketHalfSplit = 7; // the right half of the screen to the socket

// WM_PIPE_FORWARD_START lParam: forward without the calibration-key test.
inline constexpr std::intptr_t kPlainForwarding = 8;

// The single codes above with the message they ride on, for the document
// check (which also walks the tables above).
struct Listed {
    const char* message; // as the document names it on the code's line
    long long value;
};
inline constexpr Listed kSingleCodes[] = {
    {"WM_BOARD_EVENT", kCameraKind2Notice}, {"WM_BOARD_EVENT", kCameraConnected},
    {"WM_BOARD_EVENT", kBoardGone},         {"WM_BOARD_EVENT", kSocketKeySet},
    {"WM_BOARD_EVENT", kPenActionTag},      {"WM_BOARD_EVENT", kRearTwiceWithoutMainTool},
    {"WM_BOARD_EVENT", kSocketStateAnswer}, {"WM_PEN_BUTTON_EVENT", kPenFrontOnce},
    {"WM_PEN_BUTTON_EVENT", kPenFrontMore}, {"WM_PEN_BUTTON_EVENT", kPenRearOnce},
    {"WM_PEN_BUTTON_EVENT", kPenRearMore},  {"CvDriverSet", kDriverSetSwallowPenClick},
    {"CvDriverSet", kDriverSetOpenSocket},  {"CvDriverSet", kDriverSetCloseSocket},
    {"CvDriverSet", kDriverSetQuerySocket}, {"CvDriverSet", kSocketPairSplit},
    {"CvDriverSet", kSocketHalfSplit},      {"WM_PIPE_FORWARD_START", kPlainForwarding},
    {"calibration key", kCalibrationKey},
};

} // namespace code
