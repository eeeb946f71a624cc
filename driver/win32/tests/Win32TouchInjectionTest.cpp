// Touch injection where the system has none (Wine, Windows before 8): the
// wrapper says so and refuses frames without harm. The structures it would
// hand the system are checked field by field.
#include "TouchInjectionApi.h"

#include "Win32TouchInjection.h"

#include <gtest/gtest.h>

namespace {

TEST(Win32TouchInjectionTest, WithoutTheFunctionsItIsUnavailableAndRefusesFrames)
{
    const bool present = GetProcAddress(GetModuleHandleA("user32.dll"), "InjectTouchInput") != nullptr;
    brelvin::Win32TouchInjection injection;
    EXPECT_EQ(injection.Available(), present);
    if (present) GTEST_SKIP() << "this system has touch injection";

    EXPECT_FALSE(injection.Initialize());
    EXPECT_EQ(injection.LastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    driver::TouchFrame frame;
    frame.count = 1;
    frame.contacts[0] = {0, 10, 10, driver::kTouchDownFlags, {8, 8, 12, 12}};
    EXPECT_FALSE(injection.Inject(frame));
}

TEST(Win32TouchInjectionTest, FramesBecomeTouchPointersWithTheirFlagsAndAreas)
{
    driver::TouchFrame frame;
    frame.count = 2;
    frame.contacts[0] = {0, 100, 200, driver::kTouchUpdateFlags, {98, 198, 102, 202}};
    frame.contacts[1] = {3, 1023, 767, driver::kTouchDownFlags, {1021, 765, 1023, 767}};
    POINTER_TOUCH_INFO contacts[driver::TouchFrame::kMaxContacts];
    ASSERT_EQ(brelvin::ToPointerTouchInfo(frame, contacts), 2u);

    EXPECT_EQ(contacts[0].pointerInfo.pointerType, PT_TOUCH);
    EXPECT_EQ(contacts[0].pointerInfo.pointerId, 0u);
    EXPECT_EQ(contacts[0].pointerInfo.pointerFlags,
              static_cast<POINTER_FLAGS>(POINTER_FLAG_UPDATE | POINTER_FLAG_INRANGE | POINTER_FLAG_INCONTACT));
    EXPECT_EQ(contacts[0].pointerInfo.ptPixelLocation.x, 100);
    EXPECT_EQ(contacts[0].pointerInfo.ptPixelLocation.y, 200);
    EXPECT_EQ(contacts[0].pointerInfo.hwndTarget, nullptr);
    EXPECT_EQ(contacts[0].touchMask, static_cast<TOUCH_MASK>(TOUCH_MASK_CONTACTAREA));
    EXPECT_EQ(contacts[0].rcContact.left, 98);
    EXPECT_EQ(contacts[0].rcContact.right, 103);
    EXPECT_EQ(contacts[0].rcContact.bottom, 203);

    EXPECT_EQ(contacts[1].pointerInfo.pointerId, 3u);
    EXPECT_EQ(contacts[1].pointerInfo.pointerFlags,
              static_cast<POINTER_FLAGS>(POINTER_FLAG_DOWN | POINTER_FLAG_INRANGE | POINTER_FLAG_INCONTACT));
    EXPECT_EQ(contacts[1].rcContact.right, 1024);
    EXPECT_EQ(contacts[1].rcContact.bottom, 768);

    frame.count = 1;
    frame.contacts[0].flags = driver::kTouchUpFlags;
    ASSERT_EQ(brelvin::ToPointerTouchInfo(frame, contacts), 1u);
    EXPECT_EQ(contacts[0].pointerInfo.pointerFlags, static_cast<POINTER_FLAGS>(POINTER_FLAG_UP));
}

} // namespace
