#include "TouchInjectionApi.h"

#include "Win32TouchInjection.h"

namespace brelvin {
namespace {

static_assert(driver::kTouchInRange == POINTER_FLAG_INRANGE, "touch flags are the system's");
static_assert(driver::kTouchInContact == POINTER_FLAG_INCONTACT, "touch flags are the system's");
static_assert(driver::kTouchDown == POINTER_FLAG_DOWN, "touch flags are the system's");
static_assert(driver::kTouchUpdate == POINTER_FLAG_UPDATE, "touch flags are the system's");
static_assert(driver::kTouchUp == POINTER_FLAG_UP, "touch flags are the system's");

constexpr UINT32 kMaxContacts = driver::TouchFrame::kMaxContacts;

// GetProcAddress answers with a generic function pointer; the detour through
// the untyped one tells the compiler the cast is meant.
template <typename Function>
Function Cast(FARPROC address)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

} // namespace

std::size_t ToPointerTouchInfo(const driver::TouchFrame& frame, POINTER_TOUCH_INFO (&contacts)[kMaxContacts])
{
    const std::size_t count = frame.count < kMaxContacts ? frame.count : kMaxContacts;
    for (std::size_t n = 0; n < count; ++n) {
        const driver::TouchContact& contact = frame.contacts[n];
        POINTER_TOUCH_INFO& info = contacts[n];
        info = POINTER_TOUCH_INFO{};
        info.pointerInfo.pointerType = PT_TOUCH;
        info.pointerInfo.pointerId = contact.pointerId;
        info.pointerInfo.pointerFlags = contact.flags;
        info.pointerInfo.ptPixelLocation.x = contact.x;
        info.pointerInfo.ptPixelLocation.y = contact.y;
        info.touchFlags = TOUCH_FLAG_NONE;
        info.touchMask = TOUCH_MASK_CONTACTAREA;
        info.rcContact.left = contact.area.left;
        info.rcContact.top = contact.area.top;
        info.rcContact.right = contact.area.right + 1;
        info.rcContact.bottom = contact.area.bottom + 1;
    }
    return count;
}

Win32TouchInjection::Win32TouchInjection()
{
    // user32 is loaded in every program with a window; no reference is taken.
    if (HMODULE user32 = GetModuleHandleA("user32.dll")) {
        initialize_ = GetProcAddress(user32, "InitializeTouchInjection");
        inject_ = GetProcAddress(user32, "InjectTouchInput");
    }
}

bool Win32TouchInjection::Initialize()
{
    initializeTried_ = true;
    if (!Available()) {
        lastError_ = ERROR_PROC_NOT_FOUND;
        return false;
    }
    const auto initialize = Cast<InitializeTouchInjectionFunction>(initialize_);
    initialized_ = initialize(kMaxContacts, TOUCH_FEEDBACK_DEFAULT) != FALSE;
    lastError_ = initialized_ ? 0 : GetLastError();
    return initialized_;
}

bool Win32TouchInjection::Inject(const driver::TouchFrame& frame)
{
    if (!initializeTried_) Initialize();
    if (!initialized_) return false;
    POINTER_TOUCH_INFO contacts[kMaxContacts];
    const std::size_t count = ToPointerTouchInfo(frame, contacts);
    if (count == 0) return true;
    const auto inject = Cast<InjectTouchInputFunction>(inject_);
    if (inject(static_cast<UINT32>(count), contacts) != FALSE) return true;
    lastError_ = GetLastError();
    return false;
}

} // namespace brelvin
