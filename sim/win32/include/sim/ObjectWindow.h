#pragma once
// The plumbing of the stand-ins' plain windows: the object that owns a window
// comes in as CreateWindowEx's last argument and is kept in the window's user
// data, and every message from WM_NCCREATE on goes to its HandleMessage
// (a friend of the owner's class).
#include <windows.h>

namespace sim {

template <class Owner>
LRESULT CALLBACK ObjectWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!owner) return DefWindowProcA(window, message, wParam, lParam);
    return owner->HandleMessage(window, message, wParam, lParam);
}

// The thread's message loop until WM_QUIT; gives the exit code it carried.
inline int RunThreadMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace sim
