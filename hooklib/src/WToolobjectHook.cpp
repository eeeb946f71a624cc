#include "hooklib/WToolobjectHook.h"

#include "HookEngine.h"

using hooklib::HookEngine;

WToolobjectHook::WToolobjectHook() = default;

WToolobjectHook::~WToolobjectHook()
{
    HookEngine::Instance().Remove();
}

void WToolobjectHook::setmousehook(HWND)
{
    HookEngine::Instance().Install();
}

void WToolobjectHook::unsetmousehook(HWND)
{
    HookEngine::Instance().Remove();
}

void WToolobjectHook::ToHookMouseDBLCLK(int on)
{
    HookEngine::Instance().SetEnabled(on != 0);
}

void WToolobjectHook::ToHadMouseDBLCLK()
{
    HookEngine::Instance().ForgetPendingPress();
}

void WToolobjectHook::ToReUseMouseDBLCLK()
{
    HookEngine::Instance().Housekeeping();
}

WToolobjectHook::HookState WToolobjectHook::mousehookstate() const
{
    return HookEngine::Instance().State();
}
