#pragma once
// The core's double-tap help, passed to the hook library's exported members.
#include "driver/HookControl.h"
#include "hooklib/WToolobjectHook.h"

namespace brelvin {

class LinkHookControl final : public driver::HookControl {
public:
    explicit LinkHookControl(WToolobjectHook& hook)
        : hook_(hook)
    {}

    void SetDoubleTapHelp(bool on) override { hook_.ToHookMouseDBLCLK(on ? 1 : 0); }
    void RearPenButtonSeen() override { hook_.ToHadMouseDBLCLK(); }
    void Refresh() override { hook_.ToReUseMouseDBLCLK(); }

private:
    WToolobjectHook& hook_;
};

} // namespace brelvin
