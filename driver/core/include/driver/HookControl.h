#pragma once
// The mouse-hook library's double-click help as the core drives it. The
// Win32 layer passes these on to the library's exported members; installing
// and removing the hook stay with the window thread's start-up and close.
// Every member must be harmless when repeated and callable from both the
// window thread and the touch worker.
namespace driver {

class HookControl {
public:
    virtual ~HookControl() = default;

    // Help with double taps while the board is in use; off while it idles.
    virtual void SetDoubleTapHelp(bool on) = 0;
    // The rear pen button was seen in a record: a pending tap is forgotten.
    virtual void RearPenButtonSeen() = 0;
    // The window thread's 100 ms refresh.
    virtual void Refresh() = 0;
};

} // namespace driver
