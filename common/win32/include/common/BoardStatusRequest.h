#pragma once
// The board check's request to the driver, as every program of the suite
// that asks sends it (common/BoardStatus.h has the answer's text). The
// request is posted, never sent: the asker does not wait on the driver, and
// the answer comes back as WM_COPYDATA to the window named in the request.
#include <windows.h>

#include <string>

namespace common {

// The driver's window, or null when no driver runs.
HWND FindDriverWindow();

// Posts `request` (common::BoardCheckRequest) to `driver`, naming `answerTo`
// as the window that gets the answer; false when nothing was posted.
bool PostBoardStatusRequest(HWND driver, HWND answerTo, LPARAM request);

// The text of `data` when it is the driver's answer, sent by `driver`
// itself (only the driver's window speaks for the driver); false for
// anything else, and `text` is left alone.
bool ReadBoardStatusAnswer(HWND sender, HWND driver, const COPYDATASTRUCT& data, std::string& text);

} // namespace common
