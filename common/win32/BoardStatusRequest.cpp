#include "common/BoardStatusRequest.h"

#include "common/BoardStatus.h"
#include "common/Messages.h"

namespace common {

HWND FindDriverWindow()
{
    return FindWindowA(wnd::kDriverClass, wnd::kDriverCaption);
}

bool PostBoardStatusRequest(HWND driver, HWND answerTo, LPARAM request)
{
    const UINT message = RegisterWindowMessageA(msg::kRegisteredBoardCheck);
    return driver && message && PostMessageA(driver, message, reinterpret_cast<WPARAM>(answerTo), request);
}

bool ReadBoardStatusAnswer(HWND sender, HWND driver, const COPYDATASTRUCT& data, std::string& text)
{
    if (data.dwData != kBoardStatusTag || !sender || sender != driver || !data.lpData) return false;
    text.assign(static_cast<const char*>(data.lpData), data.cbData);
    return true;
}

} // namespace common
