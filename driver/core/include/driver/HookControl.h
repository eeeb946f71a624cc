#pragma once
// The notifications the driver gives the mouse-hook library's double-click
// handling. Installing and removing the hook stay with the window thread's
// start-up and close; the core only switches and nudges. Every member must
// be harmless when repeated with the same value and callable from both the
// window thread and the touch worker.
namespace driver {

class HookControl {
public:
    virtual ~HookControl() = default;

    // 1 switches double-click handling on, 0 off.
    virtual void ToHookMouseDBLCLK(int enable) = 0;
    // The rear pen button was seen in a record.
    virtual void ToHadMouseDBLCLK() = 0;
    // The window thread's 100 ms refresh.
    virtual void ToReUseMouseDBLCLK() = 0;
};

} // namespace driver
