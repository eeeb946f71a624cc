#pragma once
// The items of an image combo box (ComboBoxEx) of another program, read the
// way the program's own code would see them: the request and its answer go
// through memory lent inside that program.
#include <windows.h>

#include <string>

namespace sim {

struct ImageComboItem {
    bool read = false; // false when the item could not be fetched
    std::wstring text;
    int image = -1;
    int selectedImage = -1;
};

// Item `index` of `comboBoxEx`, which must belong to a program of this one's
// bitness.
ImageComboItem ReadImageComboItem(HWND comboBoxEx, int index);

} // namespace sim
