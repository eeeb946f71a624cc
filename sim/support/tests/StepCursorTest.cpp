#include "sim/StepCursor.h"

#include <gtest/gtest.h>

#include <string>

namespace sim {
namespace {

// The x of each slot-zero record in playing order, `limit` at most; a step
// that is not a record shows as its kind's number in brackets.
std::string Walk(const std::string& text, int limit = 100)
{
    const TouchScript script = ParseTouchScript(text);
    EXPECT_TRUE(script.Ok()) << script.error;
    StepCursor cursor(script.steps);
    std::string order;
    std::size_t index = 0;
    for (int i = 0; i < limit && cursor.Next(index); ++i) {
        const ScriptStep& step = script.steps[index];
        if (!order.empty()) order += ' ';
        if (step.kind == ScriptStep::Kind::Record) {
            order += std::to_string(SlotAt(step.record, 0).x);
        } else {
            order += "[" + std::to_string(static_cast<int>(step.kind)) + "]";
        }
    }
    return order;
}

TEST(StepCursorTest, StepsWithoutLoopsComeInOrderOnce)
{
    EXPECT_EQ(Walk("down 1 0\ndown 2 0\nup 3 0\n"), "1 2 3");
    EXPECT_EQ(Walk(""), "");
}

TEST(StepCursorTest, CountedLoopsRunTheirBodyThatOftenThenGoOn)
{
    EXPECT_EQ(Walk("down 1 0\nloop 3\ndown 2 0\ndown 3 0\nendloop\nup 4 0\n"), "1 2 3 2 3 2 3 4");
    EXPECT_EQ(Walk("loop 1\ndown 5 0\nendloop\n"), "5");
}

TEST(StepCursorTest, NestedLoopsRestartTheirCountOnEveryOuterRound)
{
    EXPECT_EQ(Walk("loop 2\ndown 1 0\nloop 2\ndown 2 0\nendloop\ndown 3 0\nendloop\n"), "1 2 2 3 1 2 2 3");
}

TEST(StepCursorTest, AForeverLoopNeverEnds)
{
    EXPECT_EQ(Walk("down 9 0\nloop\ndown 1 0\nloop 2\ndown 2 0\nendloop\nendloop\nup 7 0\n", 10),
              "9 1 2 2 1 2 2 1 2 2");
}

TEST(StepCursorTest, LoopMarkersAreNeverHandedOut)
{
    const TouchScript script = ParseTouchScript("loop 2\nhang-on 5\nloop 2\ndie\nendloop\nendloop\n");
    ASSERT_TRUE(script.Ok()) << script.error;
    StepCursor cursor(script.steps);
    std::size_t index = 0;
    int count = 0;
    while (cursor.Next(index)) {
        const ScriptStep::Kind kind = script.steps[index].kind;
        EXPECT_NE(kind, ScriptStep::Kind::LoopBegin);
        EXPECT_NE(kind, ScriptStep::Kind::LoopEnd);
        ++count;
    }
    EXPECT_EQ(count, 2 * (1 + 2));
}

} // namespace
} // namespace sim
