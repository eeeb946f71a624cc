// The adaptive chain's stages one by one, on a manual clock: the spike
// gate, the frame clock, the stillness judge, the speed-dependent low-pass
// filter, and the chain they make.
#include "driver/FrameClock.h"
#include "driver/OneEuroFilter.h"
#include "driver/PointFilter.h"
#include "driver/SpikeGate.h"
#include "driver/Stillness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace driver {
namespace {

constexpr double kFrame = 1.0 / 60;

std::vector<double> Xs(const SpikeGate::Passed& passed)
{
    std::vector<double> xs;
    for (int n = 0; n < passed.count; ++n) xs.push_back(passed.points[static_cast<std::size_t>(n)].x);
    return xs;
}

TEST(SpikeGateTest, ASpikeOfOneFrameIsHeldThenDropped)
{
    SpikeGate gate;
    gate.Reset({1000, 1000});
    EXPECT_THAT(Xs(gate.Push({1010, 1000})), ::testing::ElementsAre(1010));
    EXPECT_TRUE(Xs(gate.Push({1020, 1200})).empty());
    EXPECT_EQ(gate.CurrentState(), SpikeGate::State::Holding);
    // Back on course two frames on: the spike never comes out.
    EXPECT_THAT(Xs(gate.Push({1030, 1000})), ::testing::ElementsAre(1030));
    EXPECT_THAT(Xs(gate.Push({1040, 1000})), ::testing::ElementsAre(1040));
}

TEST(SpikeGateTest, AJumpTheNextSampleConfirmsIsFollowedOneFrameLate)
{
    SpikeGate gate;
    gate.Reset({1000, 1000});
    EXPECT_TRUE(Xs(gate.Push({1600, 1000})).empty());
    EXPECT_THAT(Xs(gate.Push({1605, 1000})), ::testing::ElementsAre(1600, 1605));
    // The new place is the course now.
    EXPECT_THAT(Xs(gate.Push({1610, 1000})), ::testing::ElementsAre(1610));
}

TEST(SpikeGateTest, AFastStrokeIsJudgedAgainstItsCourseNotItsLastPoint)
{
    SpikeGate gate;
    gate.Reset({0, 1000});
    // 150 units a frame (9,000 a second): from a standing start the first
    // step is suspect, and confirmed; from then on the course expects it.
    EXPECT_TRUE(Xs(gate.Push({150, 1000})).empty());
    EXPECT_THAT(Xs(gate.Push({300, 1000})), ::testing::ElementsAre(150, 300));
    for (double x = 450; x < 3000; x += 150) EXPECT_THAT(Xs(gate.Push({x, 1000})), ::testing::ElementsAre(x));
}

TEST(FrameClockTest, AFrameIsTheMeanGapBetweenSamplesWhateverThePollsAndStalls)
{
    FrameClock clock;
    clock.Start(0);
    // A 30 fps camera read on the worker's 2 ms beat: gaps of 32 and 34 ms.
    double frame = 0;
    for (int n = 1; n <= 100; ++n)
        frame = clock.Advance(static_cast<std::uint32_t>(2 * std::ceil(n * 1000.0 / 30 / 2)));
    EXPECT_NEAR(frame, 1.0 / 30, 0.001);
    // A camera that stalled for two seconds has not changed its rate.
    EXPECT_NEAR(clock.Advance(5400), 1.0 / 30, 0.001);
}

TEST(StillnessTest, SpeedsBetweenTheTwoThresholdsKeepTheAnswer)
{
    Stillness stillness(100);
    EXPECT_EQ(stillness.Judge(90), Stillness::Motion::Still);
    EXPECT_EQ(stillness.Judge(110), Stillness::Motion::Moving);
    EXPECT_EQ(stillness.Judge(60), Stillness::Motion::Moving);
    EXPECT_EQ(stillness.Judge(40), Stillness::Motion::Still);
    EXPECT_EQ(stillness.Judge(90), Stillness::Motion::Still);
}

class NoisyPen {
public:
    explicit NoisyPen(double sigma, unsigned seed = 7)
        : random_(seed),
          noise_(0, sigma)
    {}
    Point At(Point truth) { return {truth.x + noise_(random_), truth.y + noise_(random_)}; }

private:
    std::mt19937 random_;
    std::normal_distribution<double> noise_;
};

double Distance(const Point& a, const Point& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

TEST(OneEuroFilterTest, APenHeldStillStaysStill)
{
    const Point truth{1600, 1200};
    NoisyPen pen(6);
    OneEuroFilter filter{OneEuroParameters{}};
    filter.Reset(pen.At(truth));
    double raw = 0;
    double smoothed = 0;
    for (int n = 0; n < 600; ++n) {
        const Point sample = pen.At(truth);
        const Point shown = filter.Push(sample, kFrame);
        if (n < 60) continue; // the press point's own noise fades first
        raw += std::pow(Distance(sample, truth), 2);
        smoothed += std::pow(Distance(shown, truth), 2);
        EXPECT_EQ(filter.Motion(), Stillness::Motion::Still) << "sample " << n;
    }
    // The fixed blend keeps about 0.65 of the noise.
    EXPECT_LT(std::sqrt(smoothed / raw), 0.2);
}

TEST(OneEuroFilterTest, AConstantSpeedLineConvergesOntoTheTruth)
{
    for (const double speed : {300.0, 1500.0, 6000.0}) {
        OneEuroFilter filter{OneEuroParameters{}};
        filter.Reset({0, 1000});
        const double step = speed * kFrame;
        const int frames = static_cast<int>(2400 / step);
        Point shown;
        for (int n = 1; n <= frames; ++n) shown = filter.Push({n * step, 1000}, kFrame);
        // Behind, but by less than the fixed blend's two thirds of a frame.
        EXPECT_GE(frames * step - shown.x, 0) << speed;
        EXPECT_LT(frames * step - shown.x, step * 0.4 / 0.6) << speed;
        EXPECT_NEAR(shown.y, 1000, 1e-9) << speed;
        EXPECT_EQ(filter.Motion(), Stillness::Motion::Moving) << speed;
    }
}

TEST(PointFilterTest, ASpikeMovesNothing)
{
    PointFilter filter{OneEuroParameters{}};
    filter.Start({1600, 1200}, 1000, kCameraUnit);
    NoisyPen pen(2);
    Point shown;
    std::uint32_t now = 1000;
    for (int n = 0; n < 30; ++n) ASSERT_TRUE(filter.Next(pen.At({1600, 1200}), now += 17, shown));
    const Point before = shown;
    EXPECT_FALSE(filter.Next({1800, 1200}, now += 17, shown));
    ASSERT_TRUE(filter.Next(pen.At({1600, 1200}), now += 17, shown));
    EXPECT_LT(Distance(shown, before), 1.0);
    EXPECT_EQ(filter.Smoothing().Motion(), Stillness::Motion::Still);
}

TEST(PointFilterTest, AConfirmedJumpIsFollowed)
{
    PointFilter filter{OneEuroParameters{}};
    filter.Start({1000, 1000}, 0, kCameraUnit);
    Point shown;
    std::uint32_t now = 0;
    for (int n = 0; n < 10; ++n) filter.Next({1000, 1000}, now += 17, shown);
    EXPECT_FALSE(filter.Next({2000, 1000}, now += 17, shown));
    for (int n = 0; n < 15; ++n) ASSERT_TRUE(filter.Next({2000, 1000}, now += 17, shown));
    // A quarter of a second after the jump the pen is shown where it went.
    EXPECT_NEAR(shown.x, 2000, 5);
}

} // namespace
} // namespace driver
