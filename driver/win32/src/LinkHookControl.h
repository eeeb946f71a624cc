#pragma once
// The core's hook notifications, passed to the hook library's object.
#include "driver/HookControl.h"
#include "hooklib/WToolobjectHook.h"

namespace brelvin {

class LinkHookControl final : public driver::HookControl {
public:
    explicit LinkHookControl(WToolobjectHook& hook) : hook_(hook) {}

    void ToHookMouseDBLCLK(int enable) override { hook_.ToHookMouseDBLCLK(enable); }
    void ToHadMouseDBLCLK() override { hook_.ToHadMouseDBLCLK(); }
    void ToReUseMouseDBLCLK() override { hook_.ToReUseMouseDBLCLK(); }

private:
    WToolobjectHook& hook_;
};

} // namespace brelvin
