#include "DoubleTapAssist.h"

#include <gtest/gtest.h>

namespace {

using hooklib::DoubleTapAssist;
using hooklib::PixelPoint;

constexpr std::uint32_t kDoubleClickMs = 500;
constexpr int kReach = 20;

class DoubleTapAssistTest : public ::testing::Test {
protected:
    DoubleTapAssistTest()
        : assist(kDoubleClickMs, kReach)
    {
        assist.SetEnabled(true);
    }

    DoubleTapAssist assist;
};

TEST_F(DoubleTapAssistTest, SecondTapNearAndSoonLandsOnTheFirst)
{
    EXPECT_FALSE(assist.OnLeftPress({100, 200}, 1000));
    const auto moved = assist.OnLeftPress({112, 191}, 1300);
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, (PixelPoint{100, 200}));
}

TEST_F(DoubleTapAssistTest, ReachIsInclusiveOnEachAxisInBothDirections)
{
    const PixelPoint first{500, 400};
    const PixelPoint inside[] = {{520, 420}, {480, 380}, {520, 380}, {480, 420}};
    for (const auto at : inside) {
        assist.Forget();
        assist.OnLeftPress(first, 0);
        EXPECT_TRUE(assist.OnLeftPress(at, 10)) << at.x << "," << at.y;
    }
    const PixelPoint outside[] = {{521, 400}, {479, 400}, {500, 421}, {500, 379}};
    for (const auto at : outside) {
        assist.Forget();
        assist.OnLeftPress(first, 0);
        EXPECT_FALSE(assist.OnLeftPress(at, 10)) << at.x << "," << at.y;
    }
}

TEST_F(DoubleTapAssistTest, TimeLimitIsTheDoubleClickTimeExclusive)
{
    assist.OnLeftPress({10, 10}, 1000);
    EXPECT_TRUE(assist.OnLeftPress({12, 12}, 1000 + kDoubleClickMs - 1));

    assist.OnLeftPress({10, 10}, 5000);
    EXPECT_FALSE(assist.OnLeftPress({12, 12}, 5000 + kDoubleClickMs));
}

TEST_F(DoubleTapAssistTest, LateOrFarSecondTapBecomesTheNextFirstTap)
{
    assist.OnLeftPress({10, 10}, 0);
    EXPECT_FALSE(assist.OnLeftPress({300, 300}, 100)); // too far: a new first tap
    const auto moved = assist.OnLeftPress({305, 295}, 200);
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, (PixelPoint{300, 300}));
}

TEST_F(DoubleTapAssistTest, ThirdTapStartsANewPair)
{
    assist.OnLeftPress({50, 50}, 0);
    ASSERT_TRUE(assist.OnLeftPress({55, 55}, 100));
    EXPECT_FALSE(assist.OnLeftPress({58, 58}, 200));
    const auto fourth = assist.OnLeftPress({60, 60}, 300);
    ASSERT_TRUE(fourth);
    EXPECT_EQ(*fourth, (PixelPoint{58, 58}));
}

TEST_F(DoubleTapAssistTest, SecondTapOnTheSamePixelPassesButCompletesThePair)
{
    assist.OnLeftPress({70, 70}, 0);
    EXPECT_FALSE(assist.OnLeftPress({70, 70}, 100));
    EXPECT_FALSE(assist.HasPendingPress());
}

TEST_F(DoubleTapAssistTest, NothingIsRememberedWhileOff)
{
    assist.SetEnabled(false);
    EXPECT_FALSE(assist.OnLeftPress({10, 10}, 0));
    EXPECT_FALSE(assist.OnLeftPress({12, 12}, 50));
    EXPECT_FALSE(assist.HasPendingPress());

    // Switching on does not make a press seen while off the first tap.
    assist.SetEnabled(true);
    EXPECT_FALSE(assist.OnLeftPress({12, 12}, 60));
}

TEST_F(DoubleTapAssistTest, SwitchingOffForgetsThePendingTap)
{
    assist.OnLeftPress({10, 10}, 0);
    assist.SetEnabled(false);
    assist.SetEnabled(true);
    EXPECT_FALSE(assist.OnLeftPress({12, 12}, 50));
}

TEST_F(DoubleTapAssistTest, ForgetAndExpireDropThePendingTap)
{
    assist.OnLeftPress({10, 10}, 0);
    assist.Forget();
    EXPECT_FALSE(assist.OnLeftPress({12, 12}, 50)); // now the pending first tap, stamped 50

    assist.Expire(50 + kDoubleClickMs - 1);
    EXPECT_TRUE(assist.HasPendingPress());
    assist.Expire(50 + kDoubleClickMs);
    EXPECT_FALSE(assist.HasPendingPress());
}

TEST_F(DoubleTapAssistTest, ClockWrapBetweenTheTapsStillPairs)
{
    assist.OnLeftPress({10, 10}, 0xFFFFFF00u);
    EXPECT_TRUE(assist.OnLeftPress({12, 12}, 0x10u)); // 272 ms later
}

TEST_F(DoubleTapAssistTest, ChangedDoubleClickTimeAppliesToThePendingTap)
{
    assist.OnLeftPress({10, 10}, 0);
    assist.SetDoubleClickTime(200);
    EXPECT_FALSE(assist.OnLeftPress({12, 12}, 300));
}

TEST(DoubleTapAssistExtremes, FarApartCoordinatesDoNotOverflow)
{
    DoubleTapAssist assist(500, 20);
    assist.SetEnabled(true);
    assist.OnLeftPress({-2147483647 - 1, 0}, 0);
    EXPECT_FALSE(assist.OnLeftPress({2147483647, 0}, 1));
}

} // namespace
