// The new settings text: the calibration's keys change, nothing else does.
#include "calibration/SettingsUpdate.h"

#include "common/DecimalNumber.h"

#include <gtest/gtest.h>

namespace {

using calibration::MeasuredGrid;
using calibration::WithGrid;

MeasuredGrid TwoByTwo()
{
    // Column by column: (0,0), (0,1), (1,0), (1,1).
    return {{2, 2}, {{100, 200}, {110.5, 2000}, {3000, 150.25}, {2990, 2010}}};
}

TEST(SettingsUpdate, OnlyTheGridsKeysChangeAndALargerGridsPointsGo)
{
    const std::string old = "; written by hand\r\n"
                            "[Coordinate]\r\n"
                            "WDOT = 3\r\n"
                            "hdot=3\r\n"
                            "dot(0,0).x=1\r\n"
                            "DOT(0,0).Y = 2\r\n"
                            "dot(0,1).x=3\r\n"
                            "dot(0,1).y=4\r\n"
                            "dot(0,2).x=5\r\n"
                            "dot(0,2).y=6\r\n"
                            "dot(1,0).x=7\r\n"
                            "dot(1,0).y=8\r\n"
                            "; the middle column\r\n"
                            "dot(1,1).x=9\r\n"
                            "dot(1,1).y=10\r\n"
                            "dot(1,2).x=11\r\n"
                            "dot(1,2).y=12\r\n"
                            "dot(2,2).x=13\r\n"
                            "dot(2,2).y=14\r\n"
                            "Tdot(2,2).x=15\r\n"
                            "orient=1\r\n"
                            "\r\n"
                            "[hardware]\r\n"
                            "USE_KEY=0\r\n"
                            "[coordinate]\r\n"
                            "dot(1,1).x=99\r\n";
    const std::string expected = "; written by hand\r\n"
                                 "[Coordinate]\r\n"
                                 "WDOT = 2\r\n"
                                 "hdot=2\r\n"
                                 "dot(0,0).x=100\r\n"
                                 "DOT(0,0).Y = 200\r\n"
                                 "dot(0,1).x=110.5\r\n"
                                 "dot(0,1).y=2000\r\n"
                                 "dot(1,0).x=3000\r\n"
                                 "dot(1,0).y=150.25\r\n"
                                 "; the middle column\r\n"
                                 "dot(1,1).x=2990\r\n"
                                 "dot(1,1).y=2010\r\n"
                                 "Tdot(2,2).x=15\r\n"
                                 "orient=1\r\n"
                                 "\r\n"
                                 "[hardware]\r\n"
                                 "USE_KEY=0\r\n"
                                 "[coordinate]\r\n" // a second section of the name is never read
                                 "dot(1,1).x=99\r\n";
    EXPECT_EQ(WithGrid(old, TwoByTwo()), expected);
}

TEST(SettingsUpdate, MissingKeysAndSectionsAreAddedWithTheTextsOwnLineEndings)
{
    // A section without the grid's keys gets them after its last key, not
    // after the comment that opens the next section.
    EXPECT_EQ(WithGrid("[coordinate]\nTwdot=3\n\n; keys\n[Button]\nRpt0.x=5", TwoByTwo()),
              "[coordinate]\nTwdot=3\nwdot=2\nhdot=2\n"
              "dot(0,0).x=100\ndot(0,0).y=200\ndot(0,1).x=110.5\ndot(0,1).y=2000\n"
              "dot(1,0).x=3000\ndot(1,0).y=150.25\ndot(1,1).x=2990\ndot(1,1).y=2010\n"
              "\n; keys\n[Button]\nRpt0.x=5");
    // No section at all, and a last line without its ending.
    EXPECT_EQ(WithGrid("[PENVARO]\r\nBOX1LASTCHOOSE=5", TwoByTwo()),
              "[PENVARO]\r\nBOX1LASTCHOOSE=5\r\n[coordinate]\r\nwdot=2\r\nhdot=2\r\n"
              "dot(0,0).x=100\r\ndot(0,0).y=200\r\ndot(0,1).x=110.5\r\ndot(0,1).y=2000\r\n"
              "dot(1,0).x=3000\r\ndot(1,0).y=150.25\r\ndot(1,1).x=2990\r\ndot(1,1).y=2010\r\n");
}

TEST(SettingsUpdate, NumbersAreWrittenToTheHundredthAndReadBackSo)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{2400, "2400"}, {1234.5, "1234.5"}, {12.345, "12.35"}, {0.1, "0.1"},
                          {-0.004, "0"},  {-7.25, "-7.25"},   {1e-9, "0"}};
    for (const Case& c : cases) {
        EXPECT_EQ(calibration::FormatCameraNumber(c.value), c.text) << c.value;
        double read = 0;
        EXPECT_TRUE(common::ParseNumber(c.text, read));
        EXPECT_NEAR(read, c.value, 0.005);
    }
}

} // namespace
