// Loading WBInit.ini into the calibration model: the screen grid, the board
// area written back, orientation, per-cell transforms and the key points.
#include "CalibrationGridWriter.h"
#include "CalibrationMemoryProfile.h"
#include "driver/BoardKeys.h"
#include "driver/Calibration.h"
#include "driver/CalibrationView.h"

#include "common/PortableProfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace {

using calibration_testing::MemoryProfile;
using calibration_testing::WriteGrid;
using calibration_testing::WriteKeyPoint;
using calibration_testing::WriteRegularGrid;
using driver::BoardKeyAt;
using driver::BoardScreen;
using driver::CalibrationModelView;
using driver::CCalibration;
using driver::Point;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

std::string Area(const MemoryProfile& settings, const char* key)
{
    return settings.ReadString("BoardArea", key, "missing");
}

// The grid of the worked example: columns at camera x 400, 1600, 2800, rows
// at camera y 300, 1200, 2100.
MemoryProfile ExampleSettings()
{
    MemoryProfile settings;
    WriteRegularGrid(settings, 3, 3, 400, 300, 2800, 2100);
    return settings;
}

TEST(CalibrationLoad, WorkedExampleWritesBoardArea)
{
    MemoryProfile settings = ExampleSettings();
    settings.WriteString("BoardArea", "ptArea.left", "5"); // a stale value is replaced
    CCalibration calibration;
    EXPECT_TRUE(calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight})));
    // Margins 85.36 (x) and 69.59 (y) widen the grid extremes.
    EXPECT_EQ(Area(settings, "ptArea.left"), "31");
    EXPECT_EQ(Area(settings, "ptArea.right"), "289");
    EXPECT_EQ(Area(settings, "ptArea.top"), "23");
    EXPECT_EQ(Area(settings, "ptArea.bottom"), "217");
    const std::array<double, 4> area{400, 300, 2800, 2100};
    EXPECT_EQ(calibration.Area(), area);
    EXPECT_EQ(calibration.Upright(), 1);
}

// A load runs at every start and whenever any program asks: it writes the
// user's file only where a value differs, and leaves it as a rewrite would.
TEST(CalibrationLoad, ALoadWritesOnlyTheBoardAreaValuesThatDiffer)
{
    MemoryProfile settings = ExampleSettings();
    CCalibration calibration;
    calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight}));
    const std::string written = settings.Text();
    settings.writes = 0;
    calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight}));
    EXPECT_EQ(settings.writes, 0) << "an unchanged calibration was written again";
    EXPECT_EQ(settings.Text(), written);

    settings.WriteString("BoardArea", "ptArea.top", "7");
    settings.writes = 0;
    calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight}));
    EXPECT_EQ(settings.writes, 1);
    EXPECT_EQ(settings.Text(), written);
}

TEST(CalibrationLoad, AreaReachingTheCameraEdgeIsClamped)
{
    MemoryProfile settings;
    WriteRegularGrid(settings, 4, 3, 0, 0, 3200, 2400);
    CCalibration calibration;
    calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight}));
    EXPECT_EQ(Area(settings, "ptArea.left"), "0");
    EXPECT_EQ(Area(settings, "ptArea.right"), "319");
    EXPECT_EQ(Area(settings, "ptArea.top"), "0");
    EXPECT_EQ(Area(settings, "ptArea.bottom"), "239");
}

TEST(CalibrationMap, MeasuredPointsMapToTheirScreenPositions)
{
    MemoryProfile settings = ExampleSettings();
    CCalibration calibration;
    ASSERT_TRUE(calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight})));
    const double cameraX[3] = {400, 1600, 2800}, cameraY[3] = {300, 1200, 2100};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            Point p{cameraX[i], cameraY[j]};
            EXPECT_TRUE(calibration.MapPoint(p)) << i << "," << j;
            EXPECT_NEAR(p.x, kWidth * 0.015 + i * kWidth * 0.97 / 2, 1e-6);
            EXPECT_NEAR(p.y, kHeight * 0.015 + j * kHeight * 0.97 / 2, 1e-6);
        }
    }
    // The middle point is a corner of all four cells; the cell below and
    // right of it holds it, as left and top edges belong to a cell.
    EXPECT_EQ(calibration.CellAt({1600, 1200}), 3);
    EXPECT_EQ(calibration.CellAt({1599.9, 1199.9}), 0);
}

TEST(CalibrationMap, PointsBeyondTheMeasuredGridExtrapolate)
{
    MemoryProfile settings = ExampleSettings();
    CCalibration calibration;
    ASSERT_TRUE(calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight})));
    const double pixelsPerUnit = kWidth * 0.97 / 2 / 1200;

    Point nearEdge{390, 700};
    EXPECT_TRUE(calibration.MapPoint(nearEdge));
    EXPECT_NEAR(nearEdge.x, kWidth * 0.015 - 10 * pixelsPerUnit, 1e-6);

    Point offScreen{200, 700};
    EXPECT_FALSE(calibration.MapPoint(offScreen));
    EXPECT_NEAR(offScreen.x, kWidth * 0.015 - 200 * pixelsPerUnit, 1e-6) << "mapped value is kept";

    Point farRight{3199, 2399};
    EXPECT_FALSE(calibration.MapPoint(farRight));
    EXPECT_GT(farRight.x, kWidth);
    EXPECT_GT(farRight.y, kHeight);
}

TEST(CalibrationMap, PointsInNoCellStayUnchanged)
{
    MemoryProfile settings = ExampleSettings();
    CCalibration calibration;
    ASSERT_TRUE(calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight})));
    // The pushed border keeps 0 and excludes 65535.
    for (Point p : {Point{-1, 500}, Point{500, -1.5}, Point{65535, 500}, Point{500, 65535}, Point{1e12, 1e12}}) {
        const Point before = p;
        EXPECT_FALSE(calibration.MapPoint(p));
        EXPECT_EQ(p.x, before.x);
        EXPECT_EQ(p.y, before.y);
    }
    Point origin{0, 0};
    EXPECT_EQ(calibration.CellAt(origin), 0);
    Point farCorner{65534, 65534};
    EXPECT_EQ(calibration.CellAt(farCorner), 3);
}

// The camera x in [low, high] whose mapping lands exactly on screen x
// `target` (the mapping grows with x): bisection, then the doubles around
// it. NaN when rounding skips the target.
double CameraXMappingTo(const CCalibration& calibration, double target, double low, double high, double y)
{
    const auto mapped = [&](double x) {
        Point p{x, y};
        calibration.MapPoint(p);
        return p.x;
    };
    for (int step = 0; step < 200; ++step) {
        const double middle = low + (high - low) / 2;
        (mapped(middle) < target ? low : high) = middle;
    }
    double x = low;
    for (int step = 0; step < 64; ++step, x = std::nextafter(x, HUGE_VAL))
        if (mapped(x) == target) return x;
    return std::nan("");
}

TEST(CalibrationMap, ScreenEdgeAcceptedAtWidthAndRejectedAtZero)
{
    // Camera units are twice the screen pixels: the transforms halve.
    MemoryProfile settings;
    WriteGrid(settings, 2, 2, [](int i, int j) { return Point{i ? 1970.0 : 30.0, j ? 1970.0 : 30.0}; });
    CCalibration calibration;
    ASSERT_TRUE(calibration.Load(settings, BoardScreen::PrimaryOnly({1000, 1000})));

    const double atWidth = CameraXMappingTo(calibration, 1000, 1990, 2010, 1000);
    ASSERT_FALSE(std::isnan(atWidth));
    Point right{atWidth, 1000};
    EXPECT_TRUE(calibration.MapPoint(right));
    Point beyond{std::nextafter(atWidth, HUGE_VAL) + 1e-9, 1000};
    EXPECT_FALSE(calibration.MapPoint(beyond));
    EXPECT_GT(beyond.x, 1000);

    // Around screen x 0, bisected down to neighbouring doubles: the last
    // camera x that maps to 0 or less is rejected, the next one accepted.
    double low = -10, high = 10;
    for (int step = 0; step < 200; ++step) {
        const double middle = low + (high - low) / 2;
        Point p{middle, 1000};
        calibration.MapPoint(p);
        (p.x <= 0 ? low : high) = middle;
    }
    Point left{low, 1000};
    EXPECT_FALSE(calibration.MapPoint(left));
    EXPECT_LE(left.x, 0);
    EXPECT_GT(left.x, -1e-9) << "mapped value is kept";
    Point justInside{high, 1000};
    EXPECT_TRUE(calibration.MapPoint(justInside));
    EXPECT_GT(justInside.x, 0);
    Point inside{1000, 1000};
    EXPECT_TRUE(calibration.MapPoint(inside));
    EXPECT_NEAR(inside.x, 500, 1e-9);
}

TEST(CalibrationLoad, UpsideDownCameraMapsLikeAnUprightOneOnceTurned)
{
    std::mt19937 rng(180);
    std::uniform_real_distribution<double> jitter(-40, 40);
    Point measured[4][3];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j) measured[i][j] = {350 + 800.0 * i + jitter(rng), 300 + 900.0 * j + jitter(rng)};

    MemoryProfile uprightSettings, turnedSettings;
    WriteGrid(uprightSettings, 4, 3, [&](int i, int j) { return measured[i][j]; });
    WriteGrid(turnedSettings, 4, 3, [&](int i, int j) {
        return Point{3200 - measured[i][j].x, 2400 - measured[i][j].y};
    });
    CCalibration upright, turned;
    ASSERT_TRUE(upright.Load(uprightSettings, BoardScreen::PrimaryOnly({kWidth, kHeight})));
    ASSERT_TRUE(turned.Load(turnedSettings, BoardScreen::PrimaryOnly({kWidth, kHeight})));
    EXPECT_EQ(upright.Upright(), 1);
    EXPECT_EQ(turned.Upright(), 0);
    // The board area stays in the camera's own picture, so it is mirrored.
    const auto areaValue = [](const MemoryProfile& s, const char* key) { return std::stoi(Area(s, key)); };
    EXPECT_NEAR(areaValue(turnedSettings, "ptArea.left"), 320 - areaValue(uprightSettings, "ptArea.right"), 1);
    EXPECT_NEAR(areaValue(turnedSettings, "ptArea.right"), 320 - areaValue(uprightSettings, "ptArea.left"), 1);
    EXPECT_NEAR(areaValue(turnedSettings, "ptArea.top"), 240 - areaValue(uprightSettings, "ptArea.bottom"), 1);
    EXPECT_NEAR(areaValue(turnedSettings, "ptArea.bottom"), 240 - areaValue(uprightSettings, "ptArea.top"), 1);

    std::uniform_real_distribution<double> cx(0, 3200), cy(0, 2400);
    for (int n = 0; n < 2000; ++n) {
        const Point raw{cx(rng), cy(rng)};
        Point a{3200 - raw.x, 2400 - raw.y}; // what the caller hands over
        Point b = a;
        ASSERT_EQ(upright.MapPoint(a), turned.MapPoint(b));
        EXPECT_NEAR(a.x, b.x, 1e-6);
        EXPECT_NEAR(a.y, b.y, 1e-6);
    }
}

TEST(CalibrationLoad, MissingFileLoadsAZeroGridAndCreatesTheBoardArea)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("calibration-load-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
         std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "WBInit.ini").string();
    {
        common::PortableProfile settings(path);
        CCalibration calibration;
        EXPECT_FALSE(calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight})));
        EXPECT_EQ(calibration.GridColumns(), 3);
        EXPECT_EQ(calibration.GridRows(), 3);
        EXPECT_EQ(calibration.GetUseKey(), 0);
        // Every cell is singular: nothing maps, and nothing comes back as
        // not-a-number.
        Point p{1600, 1200};
        EXPECT_FALSE(calibration.MapPoint(p));
        EXPECT_EQ(p.x, 1600);
        EXPECT_EQ(p.y, 1200);
    }
    common::PortableProfile reread(path);
    EXPECT_EQ(reread.ReadString("BoardArea", "ptArea.left", "missing"), "0");
    EXPECT_EQ(reread.ReadString("BoardArea", "ptArea.bottom", "missing"), "0");
    std::filesystem::remove_all(folder);
}

TEST(CalibrationLoad, KeyPointsAreMappedAndGiveTheTolerance)
{
    MemoryProfile settings = ExampleSettings();
    settings.WriteString("hardware", "USE_KEY", "1");
    for (int n = 0; n < CCalibration::kKeyPoints; ++n) WriteKeyPoint(settings, n, {400.0 + 50 * n, 300});
    // The five pairs the tolerance measures, each 300 camera units high.
    for (int n : {1, 12, 6, 16, 27}) WriteKeyPoint(settings, n, {400.0 + 50 * n, 600});
    WriteKeyPoint(settings, 20, {70000, 70000}); // in no cell

    CCalibration calibration;
    ASSERT_TRUE(calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight})));
    EXPECT_EQ(calibration.GetUseKey(), 1);
    const double pixelsPerUnitY = kHeight * 0.97 / 2 / 900;
    EXPECT_NEAR(calibration.KeyPoint(0).y, kHeight * 0.015, 1e-6);
    EXPECT_NEAR(calibration.KeyPoint(1).y, kHeight * 0.015 + 300 * pixelsPerUnitY, 1e-6);
    EXPECT_EQ(calibration.KeyToleranceAsComputed(), static_cast<int>(5 * 300 * pixelsPerUnitY / 9.0));
    EXPECT_EQ(calibration.KeyToleranceAsComputed(), 68);
    // Keys 122 pixels apart cannot all fit along a 768-pixel edge: the
    // tolerance is kept to a sixteenth of the screen height.
    EXPECT_EQ(calibration.KeyTolerance(), 48);
    EXPECT_EQ(calibration.KeyPoint(20).x, 70000);
    EXPECT_EQ(calibration.KeyPoint(20).y, 70000);
    EXPECT_FALSE(calibration.KeyUsable(20));
    EXPECT_TRUE(calibration.KeyUsable(19));
}

// One wild number in the Button section must not turn the board into keys.
TEST(CalibrationLoad, KeyPointsOutsideTheCameraNeverHitAndTheToleranceStaysInRange)
{
    MemoryProfile settings = ExampleSettings();
    // Keys 60 camera units apart along the left edge: a tolerance of 10 px.
    for (int n = 0; n < CCalibration::kKeyPoints; ++n) WriteKeyPoint(settings, n, {440, 320.0 + 60 * (n % 14)});
    CCalibration sound;
    ASSERT_TRUE(sound.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight})));
    const int tolerance = sound.KeyTolerance();
    EXPECT_GT(tolerance, 0);
    EXPECT_EQ(tolerance, sound.KeyToleranceAsComputed());

    struct Case {
        const char* x;
        const char* y;
    };
    for (const Case& wild : std::vector<Case>{{"440", "-50000"},
                                              {"440", "90000"},
                                              {"-1", "400"},
                                              {"3201", "400"},
                                              {"1e400", "400"},
                                              {"1e308", "1e308"}}) {
        MemoryProfile edited = settings;
        edited.WriteString("Button", "Rpt27.x", wild.x);
        edited.WriteString("Button", "Rpt27.y", wild.y);
        CCalibration calibration;
        EXPECT_TRUE(calibration.Load(edited, BoardScreen::PrimaryOnly({kWidth, kHeight})))
            << "not a reason for the load to fail";
        EXPECT_GE(calibration.KeyTolerance(), 0) << wild.x << "," << wild.y;
        EXPECT_LE(calibration.KeyTolerance(), kHeight / 16) << wild.x << "," << wild.y;
        EXPECT_FALSE(calibration.KeyUsable(27)) << wild.x << "," << wild.y;
        const CalibrationModelView view(calibration);
        // A touch in the middle of the board is no key, whatever point 27 says.
        EXPECT_EQ(BoardKeyAt({512, 384}, view), -1) << wild.x << "," << wild.y;
    }
}

TEST(CalibrationLoad, NumbersFollowedByTextKeepTheirPrefix)
{
    MemoryProfile settings = ExampleSettings();
    settings.WriteString("coordinate", "dot(1,1).x", "1600.5abc");
    settings.WriteString("coordinate", "dot(1,1).y", "  1200 ");
    settings.WriteString("coordinate", "dot(1,0).x", "junk");
    CCalibration calibration;
    calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight}));
    EXPECT_EQ(calibration.DotPoint(1, 1).x, 1600.5);
    EXPECT_EQ(calibration.DotPoint(1, 1).y, 1200);
    EXPECT_EQ(calibration.DotPoint(1, 0).x, 0);
}

TEST(CalibrationLoad, DegenerateCellFailsTheLoadButKeepsTheModel)
{
    MemoryProfile settings;
    WriteRegularGrid(settings, 4, 4, 400, 300, 2800, 2100);
    // Cell (1,1): its diagonal corners share an x. (Cells on the border
    // cannot: the push moves their outer corners.)
    settings.WriteString("coordinate", "dot(2,2).x", "1200");
    CCalibration calibration;
    EXPECT_FALSE(calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight})));
    Point p{2500, 1900};
    EXPECT_TRUE(calibration.MapPoint(p)) << "the other cells still map";
}

TEST(CalibrationLoad, SecondGridIsReadWithItsOwnSize)
{
    MemoryProfile settings = ExampleSettings();
    settings.WriteString("coordinate", "Twdot", "4");
    settings.WriteString("coordinate", "Thdot", "999999");
    CCalibration calibration;
    EXPECT_TRUE(calibration.Load(settings, BoardScreen::PrimaryOnly({kWidth, kHeight})))
        << "the second grid does not decide the result";
    EXPECT_EQ(calibration.SecondGridColumns(), 4);
    EXPECT_EQ(calibration.SecondGridRows(), 10);
}

} // namespace
