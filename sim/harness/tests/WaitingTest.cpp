#include "sim/Waiting.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace sim {
namespace {

TEST(WaitUntil, AConditionThatHoldsEndsTheWaitAtOnce)
{
    int looks = 0;
    EXPECT_TRUE(WaitUntil([&] { return ++looks >= 1; }, 60000));
    EXPECT_EQ(looks, 1);
}

TEST(WaitUntil, LooksUntilTheConditionHolds)
{
    int looks = 0;
    EXPECT_TRUE(WaitUntil([&] { return ++looks == 5; }, 60000, 1));
    EXPECT_EQ(looks, 5);
}

TEST(WaitUntil, GivesUpOnlyOnceTheTimeOutHasPassed)
{
    const ULONGLONG start = GetTickCount64();
    int looks = 0;
    EXPECT_FALSE(WaitUntil([&] { return ++looks < 0; }, 50));
    EXPECT_GE(GetTickCount64() - start, 50u);
    EXPECT_GE(looks, 2) << "at least the first look and the last";
}

} // namespace
} // namespace sim
