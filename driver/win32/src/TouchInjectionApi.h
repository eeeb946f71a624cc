#pragma once
// The system's touch-injection types, which its headers declare only for
// Windows 8 and later. The driver still runs on earlier systems: it looks the
// functions up at run time (Win32TouchInjection), and only the files that
// fill the structures include this header, first of all.
#if defined(_WINUSER_)
#error "TouchInjectionApi.h must come before windows.h"
#endif
#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0602
#define _WIN32_WINNT 0x0602
#include <windows.h>

#include "driver/TouchFrame.h"

#include <cstddef>

namespace brelvin {

using InitializeTouchInjectionFunction = BOOL(WINAPI*)(UINT32 maxCount, DWORD mode);
using InjectTouchInputFunction = BOOL(WINAPI*)(UINT32 count, const POINTER_TOUCH_INFO* contacts);

// The frame as the system takes it: one touch pointer per contact with its
// id, flags, pixel position and contact area (right and bottom exclusive).
// Returns the number of entries filled.
std::size_t ToPointerTouchInfo(const driver::TouchFrame& frame,
                               POINTER_TOUCH_INFO (&contacts)[driver::TouchFrame::kMaxContacts]);

} // namespace brelvin
