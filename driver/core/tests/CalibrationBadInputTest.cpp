// Whatever the settings file holds, a load finishes, indexes nothing out of
// bounds, writes whole numbers to the board area and never hands out a
// mapping that is not a finite number.
#include "CalibrationGridWriter.h"
#include "CalibrationMemoryProfile.h"
#include "driver/Calibration.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <random>
#include <string>

namespace {

using calibration_testing::MemoryProfile;
using calibration_testing::WriteRegularGrid;
using driver::BoardScreen;
using driver::CCalibration;
using driver::Point;

bool IsWholeNumber(const std::string& text)
{
    if (text.empty()) return false;
    char* end = nullptr;
    std::strtol(text.c_str(), &end, 10);
    return *end == '\0';
}

// Maps a spread of points over and beyond camera space: every answer is
// either false with the point unchanged, or a finite mapped point.
void ExpectSoundMappings(const CCalibration& calibration)
{
    for (double x = -500; x <= 70000; x += 377) {
        for (double y : {-3.0, 0.0, 1.0, 299.5, 1200.0, 2399.0, 65534.0, 65535.0}) {
            Point p{x, y};
            const bool mapped = calibration.MapPoint(p);
            if (p.x != x || p.y != y) {
                ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << x << "," << y;
            }
            if (mapped) {
                ASSERT_GT(p.x, 0);
                ASSERT_GT(p.y, 0);
            }
        }
    }
}

void ExpectBoardAreaWritten(const MemoryProfile& settings)
{
    for (const char* key : {"ptArea.left", "ptArea.right", "ptArea.top", "ptArea.bottom"})
        EXPECT_TRUE(IsWholeNumber(settings.ReadString("BoardArea", key, ""))) << key;
}

TEST(CalibrationBadInput, GridSizesOutsideTheModelAreClampedAndFail)
{
    struct Case {
        const char* wdot;
        const char* hdot;
        int columns;
        int rows;
    };
    const Case cases[] = {{"0", "3", 2, 3},
                          {"1", "1", 2, 2},
                          {"11", "3", 10, 3},
                          {"3", "999999", 3, 10},
                          {"-4", "-2147483648", 2, 2},
                          {"2147483647", "10", 10, 10}};
    for (const Case& c : cases) {
        MemoryProfile settings;
        WriteRegularGrid(settings, 10, 10, 300, 200, 2900, 2200);
        settings.WriteString("coordinate", "wdot", c.wdot);
        settings.WriteString("coordinate", "hdot", c.hdot);
        CCalibration calibration;
        EXPECT_FALSE(calibration.Load(settings, BoardScreen::PrimaryOnly({1024, 768}))) << c.wdot << " x " << c.hdot;
        EXPECT_EQ(calibration.GridColumns(), c.columns);
        EXPECT_EQ(calibration.GridRows(), c.rows);
        ExpectBoardAreaWritten(settings);
        ExpectSoundMappings(calibration);
    }
}

TEST(CalibrationBadInput, NonFiniteAndHugeNumbers)
{
    for (const char* text : {"nan", "inf", "-inf", "1e999", "-1e999", "1e300", "-1e300", "1e-320", "4294967296",
                             "0x1p4", "infinity", "NAN(123)", "1e308", "-1.7976931348623157e308"}) {
        MemoryProfile settings;
        WriteRegularGrid(settings, 3, 3, 400, 300, 2800, 2100);
        settings.WriteString("coordinate", "dot(1,1).x", text);
        settings.WriteString("coordinate", "dot(2,2).y", text);
        settings.WriteString("Button", "Rpt0.y", text);
        settings.WriteString("Button", "Rpt1.y", "-1e308");
        CCalibration calibration;
        calibration.Load(settings, BoardScreen::PrimaryOnly({1024, 768}));
        ExpectBoardAreaWritten(settings);
        ExpectSoundMappings(calibration);
        if (std::isalpha(static_cast<unsigned char>(text[std::strspn(text, "+-")]))) {
            EXPECT_EQ(calibration.DotPoint(1, 1).x, 0) << text << " is no decimal number";
        }
    }
}

TEST(CalibrationBadInput, OverflowingNumbersFailTheLoad)
{
    MemoryProfile settings;
    WriteRegularGrid(settings, 3, 3, 400, 300, 2800, 2100);
    settings.WriteString("coordinate", "dot(1,1).x", "1e999");
    CCalibration calibration;
    EXPECT_FALSE(calibration.Load(settings, BoardScreen::PrimaryOnly({1024, 768})));
}

TEST(CalibrationBadInput, MissingSectionsAndJunk)
{
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 20; ++round) {
        std::string junk;
        for (int n = 0; n < 4000; ++n) junk.push_back(static_cast<char>(byte(rng)));
        if (round % 2) junk = "[coordinate]\nwdot=4\nhdot=" + std::to_string(round) + "\n" + junk;
        MemoryProfile settings(junk);
        CCalibration calibration;
        calibration.Load(settings, BoardScreen::PrimaryOnly({1024, 768}));
        ExpectBoardAreaWritten(settings);
        ExpectSoundMappings(calibration);
    }
}

TEST(CalibrationBadInput, MultiMegabyteFileLoads)
{
    std::string text;
    for (int n = 0; n < 60000; ++n) text += "[junk" + std::to_string(n) + "]\nkey=" + std::string(20, 'x') + "\n";
    MemoryProfile grid;
    WriteRegularGrid(grid, 10, 10, 300, 200, 2900, 2200);
    MemoryProfile settings(text + grid.Text());
    ASSERT_GT(text.size(), 2u * 1024 * 1024);
    CCalibration calibration;
    EXPECT_TRUE(calibration.Load(settings, BoardScreen::PrimaryOnly({1024, 768})));
    EXPECT_EQ(calibration.CellCount(), 81);
}

} // namespace
