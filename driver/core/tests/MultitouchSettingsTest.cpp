// Section [Multitouch]: defaults off, which copy of WBInit.ini speaks, and
// addresses and ports that leave TUIO off with a fault line.
#include "CalibrationMemoryProfile.h"
#include "DriverFakes.h"

#include "driver/MultitouchSettings.h"

#include <gtest/gtest.h>

namespace driver {
namespace {

using calibration_testing::MemoryProfile;
using testing::RecordingFaultLog;

class MultitouchSettingsTest : public ::testing::Test {
protected:
    MultitouchSettings Read(const std::string& userText, const std::string& programText)
    {
        const MemoryProfile user(userText);
        const MemoryProfile program(programText);
        return ReadMultitouchSettings({user, program, noPolicies}, faults);
    }

    RecordingFaultLog faults;
    const common::PolicyValues noPolicies;
};

TEST_F(MultitouchSettingsTest, EverythingIsOffWithoutTheSection)
{
    const MultitouchSettings settings = Read("[coordinate]\nwdot=3\n", "[hardware]\nUSE_KEY=1\n");
    EXPECT_FALSE(settings.tuio);
    EXPECT_FALSE(settings.touchInjection);
    EXPECT_EQ(settings.TuioHostText(), "127.0.0.1");
    EXPECT_EQ(settings.tuioPort, 3333);
    EXPECT_TRUE(faults.lines.empty());
}

TEST_F(MultitouchSettingsTest, TheProgramFoldersCopySpeaksForAUserCopyWithoutTheSection)
{
    const MultitouchSettings settings = Read(
        "[coordinate]\nwdot=3\n", "[Multitouch]\nTUIO=1\nTUIO_HOST=192.168.1.20\nTUIO_PORT=3334\nTOUCH_INJECTION=1\n");
    EXPECT_TRUE(settings.fromProgramFolder);
    EXPECT_TRUE(settings.tuio);
    EXPECT_TRUE(settings.touchInjection);
    EXPECT_EQ(settings.TuioHostText(), "192.168.1.20");
    EXPECT_EQ(settings.tuioPort, 3334);
}

// The section is taken whole from the user's copy: keys it leaves out take
// their defaults, not the program folder's values.
TEST_F(MultitouchSettingsTest, AUserCopyWithTheSectionDecidesForItself)
{
    const MultitouchSettings settings =
        Read("[multitouch]\nTOUCH_INJECTION=0\n", "[Multitouch]\nTUIO=1\nTOUCH_INJECTION=1\nTUIO_PORT=4000\n");
    EXPECT_FALSE(settings.fromProgramFolder);
    EXPECT_FALSE(settings.tuio);
    EXPECT_FALSE(settings.touchInjection);
    EXPECT_EQ(settings.tuioPort, 3333);

    EXPECT_TRUE(Read("[Multitouch]\nTUIO_PORT=5000\n", "[Multitouch]\nTUIO=0\n").tuioPort == 5000);
}

TEST_F(MultitouchSettingsTest, AnAdministratorsFileIsBothCopies)
{
    const MemoryProfile file("[Multitouch]\nTUIO=1\n");
    const MultitouchSettings settings = ReadMultitouchSettings({file, file, noPolicies}, faults);
    EXPECT_TRUE(settings.tuio);
    EXPECT_FALSE(settings.fromProgramFolder);
}

TEST_F(MultitouchSettingsTest, HostNamesAndBadAddressesLeaveTuioOff)
{
    for (const char* host : {"localhost", "board-pc", "127.0.0", "127.0.0.1.5", "256.0.0.1", "1..2.3", "127.0.0.1x",
                             "-1.0.0.1", "1 .2.3.4", "0x7f.0.0.1"}) {
        faults.lines.clear();
        const MultitouchSettings settings = Read(std::string("[Multitouch]\nTUIO=1\nTUIO_HOST=") + host + "\n", "");
        EXPECT_FALSE(settings.tuio) << host;
        ASSERT_EQ(faults.lines.size(), 1u) << host;
        EXPECT_NE(faults.lines[0].find(host), std::string::npos) << faults.lines[0];
    }
}

TEST_F(MultitouchSettingsTest, PortsOutsideTheRangeLeaveTuioOff)
{
    for (const char* port : {"0", "65536", "99999999", "-5", "33a", "3 333"}) {
        faults.lines.clear();
        const MultitouchSettings settings = Read(std::string("[Multitouch]\nTUIO=1\nTUIO_PORT=") + port + "\n", "");
        EXPECT_FALSE(settings.tuio) << port;
        EXPECT_EQ(faults.Count("TUIO_PORT"), 1u) << port;
    }
    EXPECT_EQ(Read("[Multitouch]\nTUIO=1\nTUIO_PORT=65535\n", "").tuioPort, 65535);
    EXPECT_EQ(Read("[Multitouch]\nTUIO=1\nTUIO_PORT=1\n", "").tuioPort, 1);
}

TEST_F(MultitouchSettingsTest, FaultsAreNotedOnlyWhenTuioIsWanted)
{
    const MultitouchSettings settings = Read("[Multitouch]\nTUIO=0\nTUIO_HOST=nowhere\nTUIO_PORT=0\n", "");
    EXPECT_FALSE(settings.tuio);
    EXPECT_TRUE(faults.lines.empty());

    Read("[Multitouch]\nTUIO=1\nTUIO_HOST=nowhere\nTUIO_PORT=0\n", "");
    EXPECT_EQ(faults.lines.size(), 2u);
}

TEST(ParseIPv4Test, TakesDottedDecimalsOnly)
{
    IPv4Address address{};
    ASSERT_TRUE(ParseIPv4(" 10.0.255.7\t", address));
    EXPECT_EQ(address, (IPv4Address{10, 0, 255, 7}));
    ASSERT_TRUE(ParseIPv4("0.0.0.0", address));
    EXPECT_EQ(address, (IPv4Address{0, 0, 0, 0}));

    address = {1, 2, 3, 4};
    EXPECT_FALSE(ParseIPv4("", address));
    EXPECT_FALSE(ParseIPv4("1.2.3.", address));
    EXPECT_FALSE(ParseIPv4(".1.2.3", address));
    EXPECT_FALSE(ParseIPv4("1.2.3.0004", address));
    EXPECT_EQ(address, (IPv4Address{1, 2, 3, 4})) << "a refused text leaves the address alone";
}

} // namespace
} // namespace driver
