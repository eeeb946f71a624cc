#include "common/ModalDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
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
// WM_INITDIALOG and ends itself with kResult once its queue gets there.
class ProbeDialog : public common::ModalDialog {
public:
    INT_PTR Run(DialogText text, HICON icon = nullptr, HWND owner = nullptr)
    {
        UseIcon(icon);
        return RunModal(GetModuleHandleW(nullptr), kTemplate, owner, text);
    }

    using ModalDialog::Window;

    std::function<void(HWND)> onStart;
    std::vector<UINT> seen;
    std::vector<std::pair<UINT, std::string>> errors;

private:
    INT_PTR HandleMessage(UINT message, WPARAM, LPARAM) override
    {
        seen.push_back(message);
        switch (message) {
        case WM_INITDIALOG:
            if (onStart) onStart(Window());
            PostMessageW(Window(), kFinish, 0, 0);
            return TRUE;
        case kThrowStd: throw std::runtime_error("broken handler");
        case kThrowOther: throw 7;
        case kFinish: EndDialog(Window(), kResult); return TRUE;
        default: return FALSE;
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

} // namespace
