#include "BoardCheckDesk.h"

#include "common/BoardStatus.h"

namespace brelvin {

BoardCheckDesk::BoardCheckDesk(driver::BoardCheckAnswers& answers, driver::FaultLog& faults, ProcessIdentity self)
    : answers_(answers),
      faults_(faults),
      self_(std::move(self))
{}

bool BoardCheckDesk::Admits(HWND answerWindow) const
{
    return answerWindow && IsWindow(answerWindow) && IdentityOfWindowOwner(answerWindow).SameAs(self_);
}

bool BoardCheckDesk::OnRequest(WPARAM wParam, LPARAM lParam)
{
    const HWND answerWindow = reinterpret_cast<HWND>(wParam);
    const unsigned kind = static_cast<unsigned>(lParam) & 0xFFu;
    if (kind != common::kBoardCheckStatus && kind != common::kBoardCheckRecord &&
        kind != common::kBoardCheckReadSettings)
        return false;
    // Reading the settings again stops the touch worker for a moment: only
    // those the status is for may ask for it.
    if (!Admits(answerWindow)) {
        NoteRefusal(answerWindow);
        return false;
    }
    if (kind == common::kBoardCheckRecord)
        return Deliver(answerWindow, common::FormatBoardStatus(answers_.Record(static_cast<unsigned>(lParam) >> 8)));
    if (kind == common::kBoardCheckReadSettings && readSettingsAgain_) readSettingsAgain_();
    return Deliver(answerWindow, common::FormatBoardStatus(answers_.Status()));
}

bool BoardCheckDesk::Deliver(HWND answerWindow, const std::string& text)
{
    COPYDATASTRUCT data = {};
    data.dwData = common::kBoardStatusTag;
    data.cbData = static_cast<DWORD>(text.size());
    data.lpData = const_cast<char*>(text.data());
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(answerWindow, WM_COPYDATA, reinterpret_cast<WPARAM>(driverWindow_),
                               reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result) != 0;
}

void BoardCheckDesk::NoteRefusal(HWND answerWindow)
{
    if (++refusals_ > kRefusalsNoted) return;
    DWORD processId = 0;
    if (answerWindow) GetWindowThreadProcessId(answerWindow, &processId);
    faults_.NoteF("Refused a board check request: its window (process %lu) does not belong to this user's session%s.",
                  static_cast<unsigned long>(processId),
                  refusals_ == kRefusalsNoted ? "; further refusals are not noted" : "");
}

} // namespace brelvin
