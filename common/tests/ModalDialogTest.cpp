#include "common/ModalDialog.h"

#include "common/TimerCallbackGuard.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using common::DialogText;

constexpr int kTemplate = 100; // ModalDialogTest.rc
constexpr INT_PTR kResult = 42;
constexpr UINT kFinish = WM_APP + 1;
constexpr UINT kThrowStd = WM_APP + 2;
constexpr UINT kThrowOther = WM_APP + 3;

// A dialog that notes what reaches it, runs `onStart` while it handles
// WM_INITDIALOG and ends itself with kResult once its queue gets there
// (unless told not to).
class ProbeDialog : public common::ModalDialog {
public:
    INT_PTR Run(DialogText text, HICON icon = nullptr, HWND owner = nullptr)
    {
        UseIcon(icon);
        return RunModal(GetModuleHandleW(nullptr), kTemplate, owner, text);
    }

    using ModalDialog::Window;

    std::function<void(HWND)> onStart;
    // False: the dialog runs until a handler ends it.
    bool endsAtOnce = true;
    // Any other message; true when it was handled.
    std::function<bool(UINT, WPARAM)> onMessage;
    std::vector<UINT> seen;
    std::vector<std::pair<UINT, std::string>> errors;

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        seen.push_back(message);
        switch (message) {
        case WM_INITDIALOG:
            if (onStart) onStart(Window());
            if (endsAtOnce) PostMessageW(Window(), kFinish, 0, 0);
            return TRUE;
        case kThrowStd: throw std::runtime_error("broken handler");
        case kThrowOther: throw 7;
        case kFinish: EndDialog(Window(), kResult); return TRUE;
        default: return onMessage && onMessage(message, wParam) ? TRUE : FALSE;
        }
    }

    void OnUnexpectedError(UINT message, const char* what) override
    {
        errors.emplace_back(message, what ? what : "(none)");
    }
};

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

TEST(ModalDialog, RunsUntilEndDialogWithTheObjectKnownFromInitDialogOn)
{
    ProbeDialog dialog;
    HWND atStart = nullptr;
    dialog.onStart = [&](HWND window) { atStart = window; };
    EXPECT_EQ(dialog.Run(DialogText::Wide), kResult);

    ASSERT_NE(atStart, nullptr) << "Window() must be set when WM_INITDIALOG is handled";
    ASSERT_FALSE(dialog.seen.empty());
    EXPECT_EQ(dialog.seen.front(), static_cast<UINT>(WM_INITDIALOG)) << "earlier messages belong to the system";
    EXPECT_EQ(dialog.Window(), nullptr) << "the window is gone once the run has ended";
    EXPECT_FALSE(IsWindow(atStart));
}

TEST(ModalDialog, TheProcedureGetsTextsInTheChosenForm)
{
    for (DialogText text : {DialogText::Wide, DialogText::Narrow}) {
        ProbeDialog dialog;
        bool unicode = false;
        std::wstring className;
        dialog.onStart = [&](HWND window) {
            unicode = IsWindowUnicode(window) != FALSE;
            className = ClassOf(window);
        };
        EXPECT_EQ(dialog.Run(text), kResult);
        EXPECT_EQ(unicode, text == DialogText::Wide);
        EXPECT_EQ(className, L"#32770");
    }
}

TEST(ModalDialog, TheIconIsSetBeforeInitDialogAndGivenForDragging)
{
    const HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512)); // IDI_APPLICATION
    ASSERT_NE(icon, nullptr);
    ProbeDialog dialog;
    LRESULT bigIcon = 0;
    LRESULT smallIcon = 0;
    LRESULT dragIcon = 0;
    dialog.onStart = [&](HWND window) {
        bigIcon = SendMessageW(window, WM_GETICON, ICON_BIG, 0);
        smallIcon = SendMessageW(window, WM_GETICON, ICON_SMALL, 0);
        dragIcon = SendMessageW(window, WM_QUERYDRAGICON, 0, 0);
    };
    EXPECT_EQ(dialog.Run(DialogText::Narrow, icon), kResult);
    EXPECT_EQ(bigIcon, reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(smallIcon, reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(dragIcon, reinterpret_cast<LRESULT>(icon));
    for (UINT message : dialog.seen) EXPECT_NE(message, static_cast<UINT>(WM_QUERYDRAGICON));

    // Without an icon the dialog answers for itself.
    ProbeDialog plain;
    plain.onStart = [](HWND window) { SendMessageW(window, WM_QUERYDRAGICON, 0, 0); };
    EXPECT_EQ(plain.Run(DialogText::Wide), kResult);
    EXPECT_NE(std::find(plain.seen.begin(), plain.seen.end(), static_cast<UINT>(WM_QUERYDRAGICON)), plain.seen.end());
}

TEST(ModalDialog, AnExceptionStaysInsideAndTheDialogGoesOn)
{
    ProbeDialog dialog;
    dialog.onStart = [](HWND window) {
        PostMessageW(window, kThrowStd, 0, 0);
        PostMessageW(window, kThrowOther, 0, 0);
    };
    EXPECT_EQ(dialog.Run(DialogText::Wide), kResult);
    const std::vector<std::pair<UINT, std::string>> expected = {{kThrowStd, "broken handler"}, {kThrowOther, "(none)"}};
    EXPECT_EQ(dialog.errors, expected);
}

TEST(ModalDialog, TheGivenOwnerOwnsTheDialog)
{
    HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    ProbeDialog dialog;
    HWND ownerSeen = nullptr;
    dialog.onStart = [&](HWND window) { ownerSeen = GetWindow(window, GW_OWNER); };
    EXPECT_EQ(dialog.Run(DialogText::Wide, nullptr, owner), kResult);
    EXPECT_EQ(ownerSeen, owner);
    DestroyWindow(owner);
}

std::atomic<int> forgedDialogCalls{0};
void CALLBACK ForgedDialogCallback(HWND, UINT, UINT_PTR, DWORD)
{
    ++forgedDialogCalls;
}

constexpr UINT kOpenBox = WM_APP + 10;
const wchar_t kBoxCaption[] = L"Modal dialog test box";

TEST(ModalDialog, AForgedTimerRunsNeitherInTheDialogNorInAMessageBoxItOpened)
{
    forgedDialogCalls = 0;
    ProbeDialog dialog;
    dialog.onStart = [](HWND window) { PostMessageW(window, kOpenBox, 0, 0); };
    dialog.onMessage = [&](UINT message, WPARAM) {
        if (message != kOpenBox) return false;
        MessageBoxW(dialog.Window(), L"A box with a loop of its own", kBoxCaption, MB_OK);
        return true;
    };
    // Another program, as it were: it finds the box and posts to both windows.
    std::thread forger([] {
        HWND box = sim::WaitForWindow(L"#32770", kBoxCaption, 10000);
        if (!box) return;
        const LPARAM callback = reinterpret_cast<LPARAM>(&ForgedDialogCallback);
        PostMessageW(box, WM_TIMER, 1, callback);
        PostMessageW(GetWindow(box, GW_OWNER), WM_TIMER, 2, callback);
        PostMessageW(box, common::kSystemTimerMessage, 3, callback);
        // Posted last, so handled after the forged ones.
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dialog.Run(DialogText::Wide), kResult);
    forger.join();
    EXPECT_EQ(forgedDialogCalls, 0) << "a forged timer callback ran";
}

// What the loops dispatch, seen after the guard (a hook installed before
// the dialog's is called after it).
std::vector<MSG> dispatched;
LRESULT CALLBACK NoteDispatched(int code, WPARAM removal, LPARAM message)
{
    if (code == HC_ACTION && removal == PM_REMOVE) dispatched.push_back(*reinterpret_cast<MSG*>(message));
    return CallNextHookEx(nullptr, code, removal, message);
}

TEST(ModalDialog, TheSystemsOwnTimersStillWorkUnderTheGuard)
{
    constexpr UINT_PTR kOwnTimer = 5;
    constexpr UINT_PTR kCaretTimer = 0xFFFF; // the system's timer for the caret's blink
    constexpr int kTicksAtMost = 500;
    dispatched.clear();
    const common::UniqueHook observer(SetWindowsHookExW(WH_GETMESSAGE, &NoteDispatched, nullptr, GetCurrentThreadId()));
    ASSERT_TRUE(observer);

    auto caretBlinked = [] {
        return std::any_of(dispatched.begin(), dispatched.end(), [](const MSG& message) {
            return message.message == common::kSystemTimerMessage && message.wParam == kCaretTimer;
        });
    };
    ProbeDialog dialog;
    dialog.endsAtOnce = false;
    int ticks = 0;
    dialog.onStart = [](HWND window) {
        SetForegroundWindow(window);
        SetFocus(GetDlgItem(window, 101)); // the edit field: its caret blinks
        SetTimer(window, kOwnTimer, 20, nullptr);
    };
    dialog.onMessage = [&](UINT message, WPARAM wParam) {
        if (message != WM_TIMER || wParam != kOwnTimer) return false;
        if (++ticks >= kTicksAtMost || caretBlinked()) EndDialog(dialog.Window(), kResult);
        return true;
    };
    EXPECT_EQ(dialog.Run(DialogText::Wide), kResult);
    EXPECT_GT(ticks, 0) << "the dialog's own timer never ticked";
    EXPECT_TRUE(caretBlinked()) << "the caret's timer never reached dispatch";
}

} // namespace
