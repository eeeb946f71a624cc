#include "sim/WindowSearch.h"

#include "sim/RemoteComboBox.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace sim {
namespace {

// A top-level window of this process, gone with the object.
class OwnWindow {
public:
    OwnWindow(const wchar_t* className, const wchar_t* caption, bool shown)
        : window_(CreateWindowExW(0, className, caption, WS_POPUP | (shown ? WS_VISIBLE : 0), 0, 0, 50, 50, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr))
    {}
    ~OwnWindow()
    {
        if (window_) DestroyWindow(window_);
    }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;

    HWND Get() const { return window_; }
    void Destroy()
    {
        DestroyWindow(window_);
        window_ = nullptr;
    }

private:
    HWND window_;
};

const wchar_t kWideCaption[] = L"\u5173\u4e8e kit"; // outside most code pages

TEST(WindowSearch, FindsTheWindowsOfOneProcessByWhatTheyShow)
{
    const OwnWindow shown(L"#32770", L"kit dialog shown", true);
    const OwnWindow hidden(L"#32770", L"kit dialog hidden", false);
    const OwnWindow other(L"Static", L"kit static", true);
    ASSERT_NE(shown.Get(), nullptr);
    ASSERT_NE(hidden.Get(), nullptr);
    EXPECT_TRUE(IsShownDialog(shown.Get()));
    EXPECT_FALSE(IsShownDialog(hidden.Get()));
    EXPECT_FALSE(IsShownDialog(other.Get()));

    const DWORD self = GetCurrentProcessId();
    EXPECT_EQ(FindProcessWindow(self, [](HWND w) { return WindowText(w) == L"kit dialog hidden"; }), hidden.Get());
    EXPECT_EQ(FindProcessWindow(self, [](HWND w) { return WindowText(w) == L"kit static"; }), other.Get());
    EXPECT_EQ(FindProcessWindow(self + 4, [](HWND) { return true; }), nullptr) << "another process's windows only";
    EXPECT_EQ(WaitForProcessWindow(
                  self, [](HWND w) { return WindowText(w) == L"none of these"; }, 20),
              nullptr);
}

TEST(WindowSearch, WaitsForWindowsByClassAndCaptionInEitherTextForm)
{
    OwnWindow wide(L"#32770", kWideCaption, false);
    ASSERT_NE(wide.Get(), nullptr);
    EXPECT_EQ(WaitForWindow(L"#32770", kWideCaption, 1000), wide.Get());
    EXPECT_EQ(WindowText(wide.Get()), kWideCaption);
    OwnWindow narrow(L"#32770", L"kit narrow", false);
    EXPECT_EQ(WaitForWindow("#32770", "kit narrow", 1000), narrow.Get());
    EXPECT_EQ(WaitForWindow(nullptr, "kit narrow", 1000), narrow.Get());
    EXPECT_EQ(WaitForWindow("#32770", "kit nowhere", 20), nullptr);

    EXPECT_FALSE(WaitForWindowGone("#32770", "kit narrow", 20));
    narrow.Destroy();
    EXPECT_TRUE(WaitForWindowGone("#32770", "kit narrow", 1000));
    wide.Destroy();
    EXPECT_EQ(WaitForWindow(L"#32770", kWideCaption, 20), nullptr);
}

TEST(WindowSearch, AWindowThatHandlesMessagesAnswers)
{
    const OwnWindow window(L"Static", L"kit answers", false);
    EXPECT_TRUE(WaitForAnswer(window.Get(), 1000));
    EXPECT_FALSE(WaitForAnswer(nullptr, 20));
}

TEST(RemoteComboBox, ReadsTheItemsOfAnImageComboBox)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_USEREX_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    const OwnWindow parent(L"#32770", L"kit combo parent", false);
    HWND combo = CreateWindowExW(0, WC_COMBOBOXEXW, L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 200, parent.Get(),
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(combo, nullptr);
    for (int n = 0; n < 2; ++n) {
        std::wstring text = n == 0 ? L"Pen" : L"\u7b14 Eraser";
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = n;
        item.pszText = text.data();
        item.iImage = 2 * n + 4;
        item.iSelectedImage = 2 * n + 5;
        ASSERT_EQ(SendMessageW(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), n);
    }

    const ImageComboItem second = ReadImageComboItem(combo, 1);
    ASSERT_TRUE(second.read);
    EXPECT_EQ(second.text, L"\u7b14 Eraser");
    EXPECT_EQ(second.image, 6);
    EXPECT_EQ(second.selectedImage, 7);
    EXPECT_EQ(ReadImageComboItem(combo, 0).text, L"Pen");
    EXPECT_FALSE(ReadImageComboItem(combo, 5).read) << "there is no sixth item";
}

} // namespace
} // namespace sim
