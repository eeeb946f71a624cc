#include "sim/AppMessageMeaning.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

TEST(AppMessageMeaning, NamesKeysPenButtonsAndNotices)
{
    EXPECT_EQ(AppMessageMeaning(0x7F2, 25, 0), "board key 0");
    EXPECT_EQ(AppMessageMeaning(0x7F2, 19, 0), "counted key 3 pressed");
    EXPECT_EQ(AppMessageMeaning(0x7F2, 266, 0), "counted key 6 pressed more than once");
    EXPECT_EQ(AppMessageMeaning(0x7F2, 274, 2), "counted key 2 pressed more than once, socket side");
    EXPECT_EQ(AppMessageMeaning(0x7F2, 17, 100), "pen button, action 17");
    EXPECT_EQ(AppMessageMeaning(0x7F2, 10, 2321), "camera connected (kind 2)");
    EXPECT_EQ(AppMessageMeaning(0x7F2, 0, 281), "driver closing or camera removed");
    EXPECT_EQ(AppMessageMeaning(0x7F4, 3, 0), "rear pen button once");
}

TEST(AppMessageMeaning, LeavesOtherMessagesUnnamed)
{
    EXPECT_EQ(AppMessageMeaning(0x7F2, 25, 2), "") << "posting keys have no socket side";
    EXPECT_EQ(AppMessageMeaning(0x7F2, 278, 0), "") << "key 6 pressed again is 266, not 278";
    EXPECT_EQ(AppMessageMeaning(0x7F4, 5, 0), "");
    EXPECT_EQ(AppMessageMeaning(0x400, 25, 0), "");
}

} // namespace
} // namespace sim
