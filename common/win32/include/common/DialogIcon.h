#pragma once
// The application icon of a dialog program: set as the window's big and
// small icon, and drawn centred in the client area while minimised.
#include <windows.h>

namespace common {

void SetDialogIcon(HWND dialog, HICON icon);

// Handles WM_PAINT while the dialog is minimised; false otherwise, so that
// the dialog paints itself as usual.
bool PaintIconWhenMinimised(HWND dialog, HICON icon);

} // namespace common
