#pragma once
// The eleven pen-button actions as the two image lists show them: one
// shared image list of 32 x 32 pictures, item n using image 2n when shown
// and 2n+1 when selected.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>

namespace pentool {

struct PenAction {
    const wchar_t* nameKey; // Language.ini key of the item text, section "SetPzPan"
    int normalBitmap;
    int selectedBitmap;
};

extern const std::array<PenAction, 11> kPenActions;

// Owns the image list; the combo boxes only borrow it, so it must outlive them.
class ActionImageList {
public:
    explicit ActionImageList(HINSTANCE instance);
    ~ActionImageList();
    ActionImageList(const ActionImageList&) = delete;
    ActionImageList& operator=(const ActionImageList&) = delete;

    HIMAGELIST Handle() const { return list_; }
    // Number of pictures that loaded; 22 when the resources are complete.
    int Count() const;

private:
    HIMAGELIST list_;
};

// Gives `comboBoxEx` the image list and the eleven items with their names.
void FillActionList(HWND comboBoxEx, const ActionImageList& images, const std::array<std::wstring, 11>& names);

} // namespace pentool
