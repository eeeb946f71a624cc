// The shipped WBInit.ini loads as a working calibration that maps the whole
// camera picture onto the whole screen.
#include "DistFiles.h"

#include "common/Options.h"
#include "common/PortableProfile.h"
#include "driver/Calibration.h"

#include <gtest/gtest.h>

#include <memory>

namespace dist {
namespace {

namespace fs = std::filesystem;
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

class StartingSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        copy_ = temp_.Path() / "WBInit.ini";
        fs::copy_file(DistFolder() / "WBInit.ini", copy_);
        profile_ = std::make_unique<common::PortableProfile>(copy_.string());
        loaded_ = calibration_.Load(*profile_, driver::BoardScreen::PrimaryOnly({kWidth, kHeight}));
    }

    driver::Point Map(double x, double y, bool expectOnScreen = true)
    {
        driver::Point p{x, y};
        EXPECT_EQ(calibration_.MapPoint(p), expectOnScreen) << "camera point " << x << ", " << y;
        return p;
    }

    TempFolder temp_;
    fs::path copy_;
    std::unique_ptr<common::PortableProfile> profile_;
    driver::CCalibration calibration_;
    bool loaded_ = false;
};

TEST_F(StartingSettings, LoadsWithoutTheFailedCalibrationBox)
{
    EXPECT_TRUE(loaded_);
    EXPECT_EQ(calibration_.Upright(), 1);
    EXPECT_EQ(calibration_.GridColumns(), 3);
    EXPECT_EQ(calibration_.GridRows(), 3);
}

TEST_F(StartingSettings, MapsCameraSpaceLinearlyOntoTheScreen)
{
    const double sx = kWidth / 3200.0, sy = kHeight / 2400.0;
    const driver::Point samples[] = {{48, 36}, {1600, 1200}, {3152, 2364}, {800, 1800}, {2999, 111}};
    for (const auto& camera : samples) {
        const driver::Point screen = Map(camera.x, camera.y);
        EXPECT_NEAR(screen.x, camera.x * sx, 1e-6) << camera.x << ", " << camera.y;
        EXPECT_NEAR(screen.y, camera.y * sy, 1e-6) << camera.x << ", " << camera.y;
    }
    // The outer grid points sit at the calibration program's 1.5 % margins.
    const driver::Point corner = Map(48, 36);
    EXPECT_NEAR(corner.x, kWidth * 0.015, 1e-6);
    EXPECT_NEAR(corner.y, kHeight * 0.015, 1e-6);
    // The far corner of the camera picture is the far corner of the screen.
    const driver::Point far = Map(3200, 2400);
    EXPECT_NEAR(far.x, kWidth, 1e-6);
    EXPECT_NEAR(far.y, kHeight, 1e-6);
}

TEST_F(StartingSettings, WritesTheWholePictureAsBoardArea)
{
    EXPECT_EQ(profile_->ReadInt("BoardArea", "ptArea.left", -1), 0);
    EXPECT_EQ(profile_->ReadInt("BoardArea", "ptArea.right", -1), 319);
    EXPECT_EQ(profile_->ReadInt("BoardArea", "ptArea.top", -1), 0);
    EXPECT_EQ(profile_->ReadInt("BoardArea", "ptArea.bottom", -1), 239);
}

TEST_F(StartingSettings, PlacesBoardKeysOnBothScreenEdgesButLeavesThemOff)
{
    EXPECT_EQ(calibration_.GetUseKey(), 0);
    for (int k = 0; k < 14; ++k) {
        const driver::Point left = calibration_.KeyPoint(k);
        const driver::Point right = calibration_.KeyPoint(k + 14);
        EXPECT_GT(left.x, 0);
        EXPECT_LT(left.x, kWidth * 0.015) << "key " << k;
        EXPECT_GT(right.x, kWidth * 0.985) << "key " << k;
        EXPECT_LE(right.x, kWidth);
        EXPECT_NEAR(left.y, right.y, 1e-6) << "key " << k;
        EXPECT_GT(left.y, 0);
        EXPECT_LT(left.y, kHeight);
        if (k > 0) {
            EXPECT_GT(left.y, calibration_.KeyPoint(k - 1).y) << "keys run down the edge in order";
        }
    }
    // Five gaps of 160 camera units, 51.2 pixels each, divided by 9.
    EXPECT_EQ(calibration_.KeyTolerance(), 28);
}

TEST_F(StartingSettings, HoldsThePenButtonDefaults)
{
    EXPECT_EQ(profile_->ReadInt("PENVARO", "IF_SET_F_NO_T", -1), 1);
    EXPECT_EQ(profile_->ReadInt("PENVARO", "BOX1LASTCHOOSE", -1), 5);
    EXPECT_EQ(profile_->ReadInt("PENVARO", "BOX2LASTCHOOSE", -1), 6);
}

TEST_F(StartingSettings, SaysItIsAStartingPointForTheCalibrationProgram)
{
    const std::string text = ReadBytes(DistFolder() / "WBInit.ini");
    ASSERT_EQ(text.rfind(";", 0), 0u) << "begins with a comment";
    EXPECT_NE(text.find("calibration program replaces"), std::string::npos);
}

// Every option of the table is there for a reader to uncomment, under its
// section and at its default; as shipped, none of them is set, so the file
// leaves every option at its default.
TEST_F(StartingSettings, CarriesEveryOptionAsACommentAtItsDefault)
{
    const std::string text = ReadBytes(DistFolder() / "WBInit.ini");
    for (const common::Option* option : common::kOptions) {
        const std::string section = std::string("\r\n; [") + option->section + "]\r\n";
        const std::size_t at = text.find(section);
        ASSERT_NE(at, std::string::npos) << "no commented section " << option->section;
        const std::string line = std::string("\r\n; ") + option->key + "=" + option->fallback + "\r\n";
        const std::size_t lineAt = text.find(line, at);
        const std::size_t nextSection = text.find("\r\n; [", at + section.size() - 2);
        EXPECT_TRUE(lineAt != std::string::npos && lineAt < nextSection)
            << option->section << " " << option->key << "=" << option->fallback << " is not under its section";
        EXPECT_EQ(profile_->ReadString(option->section, option->key, "(absent)"), "(absent)") << option->key;
    }
}

} // namespace
} // namespace dist
