// Taking a target's touch: what a resting pen gives, and what is refused.
#include "CalibrationTestKit.h"

#include "calibration/TouchTaker.h"

#include <gtest/gtest.h>

namespace {

using calibration::Expectation;
using calibration::PenSample;
using calibration::Refusal;
using calibration::TakeState;
using calibration::TouchTaker;
using calibration_testing::RestingTouch;
using driver::Point;

TakeState FeedAll(TouchTaker& taker, const std::vector<PenSample>& samples)
{
    for (const PenSample& s : samples) taker.OnSample(s);
    return taker.State();
}

TEST(TouchTaker, ARestingTouchIsTakenAtItsStillPointNotWhereItLandedOrLifted)
{
    TouchTaker taker;
    EXPECT_EQ(taker.State(), TakeState::AwaitingTouch);
    std::vector<PenSample> samples = RestingTouch({1000, 800}, 5000);
    samples[10].camera = {1200, 1000}; // a lone spike of the camera's spot finding

    EXPECT_EQ(taker.OnSample(samples.front()), TakeState::Touching);
    for (std::size_t i = 1; i + 1 < samples.size(); ++i) EXPECT_EQ(taker.OnSample(samples[i]), TakeState::Touching);
    EXPECT_EQ(taker.OnSample(samples.back()), TakeState::Taken);
    EXPECT_NEAR(taker.LastTouch().camera.x, 1000, 1);
    EXPECT_NEAR(taker.LastTouch().camera.y, 800, 1);
    EXPECT_LE(taker.LastTouch().spread, 3) << "a unit's jitter on each axis";
}

TEST(TouchTaker, RefusesWhatIsNoRestOnTheTarget)
{
    struct Case {
        const char* what;
        std::vector<PenSample> samples;
        Expectation expectation;
        Refusal refusal;
    };
    std::vector<PenSample> slide = RestingTouch({1000, 800}, 0);
    for (std::size_t i = 3; i < slide.size(); ++i) slide[i].camera.x += 3.0 * static_cast<double>(i);
    Expectation predicted; // the target's neighbours 100 units away to the right
    predicted.where = Point{1000, 800};
    predicted.toSteps = {0.01, 0, 0, 0.01};
    predicted.within = 0.5;
    Expectation taken;
    taken.awayFrom = {{2000, 1500}, {1020, 790}};
    taken.apart = 60;

    const Case cases[] = {
        {"a tap", RestingTouch({1000, 800}, 0, 100), {}, Refusal::TooShort},
        {"a slide", slide, {}, Refusal::Moved},
        {"beyond the camera's picture", RestingTouch({3300, 800}, 0), {}, Refusal::OutsideCamera},
        {"the neighbouring target", RestingTouch({1100, 800}, 0), predicted, Refusal::FarFromTarget},
        {"a spot taken for another target", RestingTouch({1000, 800}, 0), taken, Refusal::OnEarlierSpot},
    };
    for (const Case& c : cases) {
        TouchTaker taker;
        taker.Expect(c.expectation);
        EXPECT_EQ(FeedAll(taker, c.samples), TakeState::Refused) << c.what;
        EXPECT_EQ(taker.LastRefusal(), c.refusal) << c.what;
    }

    // Within reach of the prediction a lens may have moved the target.
    TouchTaker taker;
    taker.Expect(predicted);
    EXPECT_EQ(FeedAll(taker, RestingTouch({1030, 830}, 0)), TakeState::Taken);
}

TEST(TouchTaker, ARefusedTargetIsTakenByTheNextTouch)
{
    TouchTaker taker;
    EXPECT_EQ(FeedAll(taker, RestingTouch({1000, 800}, 0, 50)), TakeState::Refused);
    EXPECT_EQ(taker.OnSample({2000, {990, 810}, false}), TakeState::Refused) << "a release alone starts nothing";
    EXPECT_EQ(FeedAll(taker, RestingTouch({990, 810}, 3000)), TakeState::Taken);
    EXPECT_EQ(taker.LastRefusal(), Refusal::None);
    EXPECT_NEAR(taker.LastTouch().camera.x, 990, 1);
}

// The camera service may stop reporting without a release; the driver then
// ends the contact after 500 ms, and so does the taker, on a clock that
// may wrap around in the middle of the touch.
TEST(TouchTaker, SilenceEndsATouchAcrossTheClocksWrap)
{
    const std::uint32_t start = 0xFFFFFF00u;
    std::vector<PenSample> samples = RestingTouch({1500, 1200}, start);
    samples.pop_back(); // no release
    TouchTaker taker;
    EXPECT_EQ(FeedAll(taker, samples), TakeState::Touching);
    const std::uint32_t last = samples.back().timeMs;
    EXPECT_EQ(taker.OnTick(last + TouchTaker::kSilenceMs), TakeState::Touching);
    EXPECT_EQ(taker.OnTick(last + TouchTaker::kSilenceMs + 1), TakeState::Taken);
    EXPECT_NEAR(taker.LastTouch().camera.x, 1500, 1);

    // A sample after the silence ends the touch it follows, and starts none.
    TouchTaker late;
    FeedAll(late, samples);
    EXPECT_EQ(late.OnSample({last + 2000, {1500, 1200}, true}), TakeState::Taken);
}

} // namespace
