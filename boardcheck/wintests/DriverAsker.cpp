#include "DriverAsker.h"

#include "common/BoardStatusRequest.h"

#include <string>
#include <utility>

namespace boardcheck_e2e {

DriverAsker::DriverAsker()
    : window_([this](UINT message, WPARAM wParam, LPARAM lParam) { return OnMessage(message, wParam, lParam); })
{}

bool DriverAsker::Ask(LPARAM request)
{
    driver_ = common::FindDriverWindow();
    return common::PostBoardStatusRequest(driver_, window_.Handle(), request);
}

bool DriverAsker::WaitForAnswer(const std::function<bool(const common::BoardStatus&)>& wanted, unsigned timeoutMs)
{
    std::size_t seen = 0;
    return window_.PumpUntil(
        [&] {
            for (; seen < answers_.size(); ++seen) {
                if (wanted(common::ParseBoardStatus(answers_[seen]))) return true;
            }
            return false;
        },
        timeoutMs);
}

std::optional<LRESULT> DriverAsker::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::string text;
    if (message == WM_COPYDATA &&
        common::ReadBoardStatusAnswer(reinterpret_cast<HWND>(wParam), driver_,
                                      *reinterpret_cast<const COPYDATASTRUCT*>(lParam), text)) {
        answers_.push_back(std::move(text));
        return TRUE;
    }
    return std::nullopt;
}

} // namespace boardcheck_e2e
