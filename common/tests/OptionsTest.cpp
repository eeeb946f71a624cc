// The options table's checks of a value, as the package and the driver
// apply them, and the policy values as the support log names them.
#include "common/Options.h"
#include "common/PolicyValues.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace common {
namespace {

TEST(OptionValues, EachTypeTakesItsValuesOnly)
{
    using namespace options;
    for (const char* good : {"0", "1", " 1\t"}) EXPECT_TRUE(IsAllowedValue(kTuio, good)) << good;
    for (const char* bad : {"", "2", "01", "yes", "-1"}) EXPECT_FALSE(IsAllowedValue(kTuio, bad)) << bad;

    for (const char* good : {"1", "65535", "3333"}) EXPECT_TRUE(IsAllowedValue(kTuioPort, good)) << good;
    for (const char* bad : {"0", "65536", "-5", "33a", "3 333", "+80", "4294967297"})
        EXPECT_FALSE(IsAllowedValue(kTuioPort, bad)) << bad;

    for (const char* good : {"127.0.0.1", "0.0.0.0", "255.255.255.255"})
        EXPECT_TRUE(IsAllowedValue(kTuioHost, good)) << good;
    for (const char* bad : {"localhost", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.0004", "1..2.3"})
        EXPECT_FALSE(IsAllowedValue(kTuioHost, bad)) << bad;

    const Option choice{"S", "K", OptionType::Choice, 0, 0, "fixed|adaptive", "fixed", "P", OptionScope::User};
    EXPECT_TRUE(IsAllowedValue(choice, "Adaptive"));
    EXPECT_FALSE(IsAllowedValue(choice, "adapt"));
    EXPECT_FALSE(IsAllowedValue(choice, "fixed|adaptive"));
    EXPECT_EQ(AllowedValues(choice), "fixed or adaptive");

    const Option number{"S", "K", OptionType::Number, 0.01, 30, "", "0.5", "P", OptionScope::Machine};
    for (const char* good : {"0.01", "30", "1.5e1", ".5", "2."}) EXPECT_TRUE(IsAllowedValue(number, good)) << good;
    for (const char* bad : {"0", "30.5", "nan", "inf", "0x1p2", "1,5", "e5", "."})
        EXPECT_FALSE(IsAllowedValue(number, bad)) << bad;
    EXPECT_EQ(AllowedValues(kTuioPort), "a whole number from 1 to 65535");

    for (const char* good : {"secondary", " LARGEST ", "\\\\.\\DISPLAY2"})
        EXPECT_TRUE(IsAllowedValue(kMonitor, good)) << good;
    for (const char* bad : {"projector", "\\\\.\\", "DISPLAY2", "2", "secondary|largest"})
        EXPECT_FALSE(IsAllowedValue(kMonitor, bad)) << bad;
    EXPECT_EQ(AllowedValues(kMonitor), "primary, secondary, largest or a display's name such as \\\\.\\DISPLAY2");
}

// A number option reads zero however it is written, and a number too small
// for a double as zero, where a calibration coordinate would not; and it
// refuses a text longer than 60 characters, which the calibration takes.
TEST(OptionValues, ANumberOptionKeepsItsOwnZeroAndLength)
{
    const Option number{"S", "K", OptionType::Number, 0, 1, "", "0.5", "P", OptionScope::Machine};
    for (const char* zero : {"-0", ".0", "+0.0", "1e-400"}) EXPECT_TRUE(IsAllowedValue(number, zero)) << zero;
    EXPECT_TRUE(IsAllowedValue(number, "0." + std::string(57, '0') + "1"));
    EXPECT_FALSE(IsAllowedValue(number, "0." + std::string(58, '0') + "1"));
    EXPECT_FALSE(IsAllowedValue(number, "1e999"));
}

TEST(OptionValues, PoliciesAreKeptInTheTablesOrderAndDescribedBySection)
{
    PolicyValues first;
    first.Set(options::kTouchInjection, "1");
    first.Set(options::kTuio, "0");
    first.Set(options::kTuio, "1");
    PolicyValues second;
    second.Set(options::kTuio, "1");
    second.Set(options::kTouchInjection, "1");
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.Describe(), std::vector<std::string>{"[Multitouch] TUIO=1, TOUCH_INJECTION=1"});
    ASSERT_NE(first.Find(options::kTuio), nullptr);
    EXPECT_EQ(first.Find(options::kTuioHost), nullptr);
    EXPECT_EQ(FindOption("multitouch", "tuio_port"), &options::kTuioPort);
}

} // namespace
} // namespace common
