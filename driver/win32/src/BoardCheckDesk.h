#pragma once
// The board check's request as the driver window receives it: the
// registered message "BrelvinBoardCheck" with the window that gets the answer
// in wParam. The answer (common/BoardStatus.h) goes back to that window as
// WM_COPYDATA, and only when the window belongs to a process of the driver's
// own user in the driver's own session: the status names files and the
// contacts on the board, which are nobody else's business.
#include "driver/BoardCheckAnswers.h"
#include "driver/FaultLog.h"

#include "ProcessIdentity.h"

#include <windows.h>

#include <functional>
#include <string>

namespace brelvin {

class BoardCheckDesk {
public:
    // How long the answer's window may take to take it; one that hangs is
    // given up on at once.
    static constexpr UINT kAnswerTimeoutMs = 1000;
    // Refusals noted in the support log per run; further ones are counted only.
    static constexpr unsigned kRefusalsNoted = 5;

    // `self` is who the driver runs as (tests give another identity).
    BoardCheckDesk(driver::BoardCheckAnswers& answers, driver::FaultLog& faults,
                   ProcessIdentity self = IdentityOfThisProcess());

    void AttachDriverWindow(HWND window) { driverWindow_ = window; }
    // What a request to read the settings again does before its answer;
    // without it such a request is answered with the status alone.
    void AttachSettingsReader(std::function<void()> readAgain) { readSettingsAgain_ = std::move(readAgain); }

    // The registered message. True when an answer was delivered.
    bool OnRequest(WPARAM wParam, LPARAM lParam);
    // True when `answerWindow` may have the answer.
    bool Admits(HWND answerWindow) const;

    unsigned Refusals() const { return refusals_; }

private:
    bool Deliver(HWND answerWindow, const std::string& text);
    void NoteRefusal(HWND answerWindow);

    driver::BoardCheckAnswers& answers_;
    driver::FaultLog& faults_;
    ProcessIdentity self_;
    HWND driverWindow_ = nullptr;
    std::function<void()> readSettingsAgain_;
    unsigned refusals_ = 0;
};

} // namespace brelvin
