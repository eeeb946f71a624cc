#include "ReloadCommand.h"

#include "common/BoardStatus.h"
#include "common/BoardStatusRequest.h"

#include <string>

namespace brelvin {
namespace {

constexpr const char* kAnswerClass = "BrelvinReloadAnswer";

// The hidden window the driver answers, destroyed with its owner.
class AnswerWindow {
public:
    AnswerWindow(HINSTANCE instance, HWND driver)
        : instance_(instance),
          driver_(driver)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &AnswerWindow::Procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kAnswerClass;
        registered_ = RegisterClassA(&windowClass) != 0;
        window_ = CreateWindowExA(0, kAnswerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this);
    }
    ~AnswerWindow()
    {
        if (window_) DestroyWindow(window_);
        if (registered_) UnregisterClassA(kAnswerClass, instance_);
    }
    AnswerWindow(const AnswerWindow&) = delete;
    AnswerWindow& operator=(const AnswerWindow&) = delete;

    HWND Handle() const { return window_; }
    bool Answered() const { return answered_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<AnswerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        std::string text;
        // Only the driver's window speaks for the driver.
        if (self && message == WM_COPYDATA &&
            common::ReadBoardStatusAnswer(reinterpret_cast<HWND>(wParam), self->driver_,
                                          *reinterpret_cast<const COPYDATASTRUCT*>(lParam), text)) {
            self->answered_ = true;
            return TRUE;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HINSTANCE instance_;
    HWND driver_;
    bool registered_ = false;
    HWND window_ = nullptr;
    bool answered_ = false;
};

// Runs this thread's messages (the answer is a sent one) until the answer came or the time is up.
bool WaitForAnswer(const AnswerWindow& answer, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!answer.Answered()) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - waited, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    return true;
}

} // namespace

bool AsksForReload(const char* commandLine)
{
    if (!commandLine) return false;
    std::string word;
    for (const char* c = commandLine;; ++c) {
        if (*c == '\0' || *c == ' ' || *c == '\t') {
            if (lstrcmpiA(word.c_str(), "/reload") == 0 || lstrcmpiA(word.c_str(), "-reload") == 0) return true;
            word.clear();
            if (*c == '\0') return false;
        } else {
            word += *c;
        }
    }
}

ReloadOutcome AskDriverToReload(HINSTANCE instance)
{
    const HWND driver = common::FindDriverWindow();
    if (!driver) return ReloadOutcome::NoDriver;
    const AnswerWindow answer(instance, driver);
    if (!answer.Handle() ||
        !common::PostBoardStatusRequest(driver, answer.Handle(),
                                        common::BoardCheckRequest(common::kBoardCheckReadSettings)))
        return ReloadOutcome::NoAnswer;
    return WaitForAnswer(answer, kReloadAnswerWaitMs) ? ReloadOutcome::Answered : ReloadOutcome::NoAnswer;
}

} // namespace brelvin
