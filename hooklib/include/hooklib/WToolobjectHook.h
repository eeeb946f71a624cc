#pragma once
// LINK.dll: the board's double-tap helper, shared by the driver's window
// thread and its touch worker.
//
// A finger or pen on the board never lands twice on the same pixel, so two
// quick taps meant as a double click usually fall outside the few pixels the
// system allows between the two presses. While double-click handling is on,
// the library watches the system's mouse input with a low-level mouse hook
// (on a thread of its own) and, when a left press comes within the system
// double-click time of the previous left press and no more than
// kTouchReachPixels away from it on either axis, it replaces that second
// press with one at the first press's position. The system then sees a
// double click. A third press starts a new pair.
//
// Members:
//   setmousehook(HWND)       installs the hook (the window is not used); a
//                            second call while installed does nothing.
//   unsetmousehook(HWND)     removes the hook and forgets any pending press;
//                            harmless when not installed.
//   ToHookMouseDBLCLK(int)   switches double-click handling on (non-zero) or
//                            off (0); switching off forgets a pending press.
//                            Repeating the current value changes nothing.
//   ToHadMouseDBLCLK()       a double click has just been made by other means
//                            (a pen button): forget the pending press so the
//                            next tap starts a new pair.
//   ToReUseMouseDBLCLK()     housekeeping, meant to be called periodically:
//                            forgets a pending press older than the
//                            double-click time and picks up a changed system
//                            double-click time.
//   mousehookstate()         where the hook stands, for the caller's log.
//
// setmousehook waits at most 2 s for the hook to be in place and
// unsetmousehook at most 2 s for it to be gone. When that is not enough, the
// library finishes the step by itself, reading nothing of the caller's, and
// mousehookstate() says so (StillStarting, StillStopping); another
// setmousehook meanwhile starts no second hook.
//
// Every member may be called from any thread, any number of times. All
// objects share the one hook of the process; the destructor removes it.
#include <windows.h>

#if defined(LINK_BUILDING_DLL)
#define LINK_API __declspec(dllexport)
#else
#define LINK_API __declspec(dllimport)
#endif

class LINK_API WToolobjectHook {
public:
    // How far (in pixels, on each axis) a second tap may land from the first
    // and still be taken as a double click.
    static constexpr int kTouchReachPixels = 20;

    enum class HookState {
        Removed,         // never installed, or removed
        Installed,       // the hook is in place
        StillStarting,   // setmousehook gave up waiting; the hook comes when its thread can run
        CouldNotInstall, // the system refused the hook or its thread
        StillStopping,   // unsetmousehook gave up waiting; the hook goes when its thread can run
    };

    WToolobjectHook();
    virtual ~WToolobjectHook();

    WToolobjectHook(const WToolobjectHook&) = delete;
    WToolobjectHook& operator=(const WToolobjectHook&) = delete;

    void setmousehook(HWND window);
    void unsetmousehook(HWND window);
    void ToHookMouseDBLCLK(int on);
    void ToHadMouseDBLCLK();
    void ToReUseMouseDBLCLK();
    HookState mousehookstate() const;
};
