// The pen's samples in the records the forwarding pipe carries.
#include "calibration/PenSample.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using calibration::PenSampleFromRecord;

struct Record {
    driver::TouchRecordBytes bytes = {};
    Record& Slot(int s, std::uint8_t status, unsigned x, unsigned y)
    {
        std::uint8_t* slot = bytes + 5 * s;
        slot[0] = status;
        slot[1] = static_cast<std::uint8_t>(x >> 8);
        slot[2] = static_cast<std::uint8_t>(x);
        slot[3] = static_cast<std::uint8_t>(y >> 8);
        slot[4] = static_cast<std::uint8_t>(y);
        return *this;
    }
};

TEST(PenSample, TheMousePairsFirstContactAsTheCameraReportsIt)
{
    const auto down = PenSampleFromRecord(Record().Slot(0, 1, 3000, 2200).bytes, 77);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->timeMs, 77u);
    EXPECT_TRUE(down->down);
    EXPECT_EQ(down->camera.x, 3000) << "never turned, whichever way the camera hangs";
    EXPECT_EQ(down->camera.y, 2200);

    const auto up = PenSampleFromRecord(Record().Slot(0, 2, 10, 20).bytes, 78);
    ASSERT_TRUE(up);
    EXPECT_FALSE(up->down);

    // A camera-kind code in byte 0 leaves the other slots to carry the pen.
    const auto behindKind = PenSampleFromRecord(Record().Slot(0, 3, 0, 0).Slot(1, 1, 500, 600).bytes, 79);
    ASSERT_TRUE(behindKind);
    EXPECT_EQ(behindKind->camera.x, 500);

    EXPECT_FALSE(PenSampleFromRecord(Record().bytes, 80)) << "an empty cycle";
    EXPECT_FALSE(PenSampleFromRecord(Record().Slot(0, 8, 1000, 1000).bytes, 81)) << "a pen button";
    EXPECT_FALSE(PenSampleFromRecord(Record().Slot(2, 1, 1000, 1000).bytes, 82)) << "the second pair's contact";
}

} // namespace
