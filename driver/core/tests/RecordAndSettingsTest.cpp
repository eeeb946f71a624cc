// Record decoding and the pen-button settings read at start.
#include "DriverFakes.h"

#include "driver/PenButtonSettings.h"

#include <gtest/gtest.h>

#include <map>

namespace driver {
namespace {

using testing::RecordBuilder;

TEST(TouchRecordTest, SlotsAreBigEndianAtFiveByteOffsets)
{
    TouchRecordBytes bytes = {1, 0x0C, 0x80, 0x09, 0x60, 2, 0, 1, 0, 2, 0, 0xFF, 0xFF, 0, 0, 1, 0x01, 0x00, 0x00, 0xFF};
    const TouchRecord record = DecodeTouchRecord(bytes, 1);
    EXPECT_EQ(record.EventCode(), 1);
    EXPECT_EQ(record.slots[0].point.x, 3200);
    EXPECT_EQ(record.slots[0].point.y, 2400);
    EXPECT_EQ(record.slots[1].status, 2);
    EXPECT_EQ(record.slots[1].point.x, 1);
    EXPECT_EQ(record.slots[1].point.y, 2);
    EXPECT_EQ(record.slots[2].point.x, 65535);
    EXPECT_EQ(record.slots[3].point.x, 256);
    EXPECT_EQ(record.slots[3].point.y, 255);
}

TEST(TouchRecordTest, UpsideDownCameraTurnsEverySlotByHalfATurn)
{
    const TouchRecord record = RecordBuilder().Contact(0, 100, 2400).Contact(3, 3200, 0).Decoded(0);
    EXPECT_EQ(record.slots[0].point.x, 3100);
    EXPECT_EQ(record.slots[0].point.y, 0);
    EXPECT_EQ(record.slots[3].point.x, 0);
    EXPECT_EQ(record.slots[3].point.y, 2400);
    EXPECT_EQ(record.slots[1].point.x, 3200); // empty slots turn too
}

class MapProfile final : public common::Profile {
public:
    std::map<std::string, int> ints;
    int ReadInt(const std::string& section, const std::string& key, int fallback) const override
    {
        const auto it = ints.find(section + "/" + key);
        return it == ints.end() ? fallback : it->second;
    }
    std::string ReadString(const std::string&, const std::string&, const std::string& fallback) const override
    {
        return fallback;
    }
    void WriteString(const std::string&, const std::string&, const std::string&) override {}
};

TEST(PenButtonSettingsTest, DefaultsGiveChoicesFiveAndSix)
{
    ActionMap actions;
    const PenButtonSettings settings = ReadPenButtonSettings(MapProfile(), actions);
    EXPECT_EQ(settings.ifSetFNoT, 1);
    EXPECT_EQ(settings.frontAction, 16);
    EXPECT_EQ(settings.backAction, 22);
}

TEST(PenButtonSettingsTest, ChoicesMapToTheirActionCodes)
{
    ActionMap actions;
    const int expected[] = {25, 32, 23, 24, 17, 16, 22, 53, 37, 39, 38};
    for (int choice = 0; choice <= 10; ++choice) EXPECT_EQ(actions[choice], expected[choice]) << choice;
    EXPECT_EQ(actions.size(), 11u);
}

TEST(PenButtonSettingsTest, ChoiceOutOfRangeAddsItselfWithActionZero)
{
    MapProfile profile;
    profile.ints["PENVARO/BOX1LASTCHOOSE"] = 11;
    profile.ints["PENVARO/BOX2LASTCHOOSE"] = -1;
    profile.ints["PENVARO/IF_SET_F_NO_T"] = 0;
    ActionMap actions;
    const PenButtonSettings settings = ReadPenButtonSettings(profile, actions);
    EXPECT_EQ(settings.frontAction, 0);
    EXPECT_EQ(settings.backAction, 0);
    EXPECT_EQ(settings.ifSetFNoT, 0);
    EXPECT_EQ(actions.size(), 13u);
}

} // namespace
} // namespace driver
