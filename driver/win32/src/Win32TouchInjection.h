#pragma once
// Touch frames into the system's input through InitializeTouchInjection and
// InjectTouchInput. Both are looked up in user32 at run time: systems before
// Windows 8, and Wine, have neither, and the driver then keeps to the mouse.
#include "driver/TouchFrame.h"

#include <windows.h>

namespace brelvin {

class Win32TouchInjection final : public driver::TouchInjection {
public:
    // Looks the two functions up; nothing is initialised yet.
    Win32TouchInjection();

    Win32TouchInjection(const Win32TouchInjection&) = delete;
    Win32TouchInjection& operator=(const Win32TouchInjection&) = delete;

    // Both functions exist.
    bool Available() const { return initialize_ && inject_; }

    // Prepares injection of up to four contacts with the system's own touch
    // feedback. Called by the first Inject when nobody called it before, so
    // it happens on the injecting thread; tried once.
    bool Initialize();

    // False when the functions are missing, initialisation failed or the
    // system refused the frame (LastError tells why).
    bool Inject(const driver::TouchFrame& frame) override;

    DWORD LastError() const { return lastError_; }

private:
    FARPROC initialize_ = nullptr;
    FARPROC inject_ = nullptr;
    bool initializeTried_ = false;
    bool initialized_ = false;
    DWORD lastError_ = 0;
};

} // namespace brelvin
