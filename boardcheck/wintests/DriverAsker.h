#pragma once
// Asks the driver as the board check does, from a window on the test's
// thread, and keeps the answers it gets.
#include "common/BoardStatus.h"
#include "testsupport/MessageWindow.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace boardcheck_e2e {

class DriverAsker {
public:
    DriverAsker();

    // Posts the request to the driver's window; false when there is none.
    // Only that window's answers are kept.
    bool Ask(LPARAM request);
    // Pumps the thread's messages until an answer satisfies `wanted`.
    bool WaitForAnswer(const std::function<bool(const common::BoardStatus&)>& wanted, unsigned timeoutMs);
    const std::vector<std::string>& Answers() const { return answers_; }

private:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND driver_ = nullptr; // the window asked last
    std::vector<std::string> answers_;
    testsupport::MessageWindow window_;
};

} // namespace boardcheck_e2e
