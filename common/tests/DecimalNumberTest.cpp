// The settings files' decimal numbers: the calibration's rule (ParseNumber)
// and the reading beneath it that the options' checks build on.
#include "common/DecimalNumber.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

namespace {

using common::ParseNumber;
using common::ReadDecimalNumber;

struct NumberCase {
    const char* text;
    double value;
    bool valid;
};

void ExpectParses(const NumberCase& c)
{
    double value = -12345;
    EXPECT_EQ(ParseNumber(c.text, value), c.valid) << '"' << c.text << '"';
    EXPECT_EQ(value, c.value) << '"' << c.text << '"';
}

TEST(ParseNumber, WellFormedNumbers)
{
    const NumberCase cases[] = {
        {"0", 0, true},          {"12", 12, true},
        {"12.5", 12.5, true},    {"-3.25", -3.25, true},
        {"+7", 7, true},         {".5", 0.5, true},
        {"5.", 5, true},         {"1e3", 1000, true},
        {"2.5E-1", 0.25, true},  {"1e+2", 100, true},
        {" \t 42 \t", 42, true}, {"0.0", 0, true},
        {"00012", 12, true},     {"1599.9999", 1599.9999, true},
        {"0.1", 0.1, true},      {"123456789012345678901234567890", 123456789012345678901234567890.0, true},
    };
    for (const NumberCase& c : cases) ExpectParses(c);
}

TEST(ParseNumber, MalformedTextKeepsThePrefix)
{
    const NumberCase cases[] = {
        {"12.5abc", 12.5, false}, {"", 0, false},     {"   ", 0, false},    {"abc", 0, false}, {"-0", 0, false},
        {".0", 0, false},         {".", 0, false},    {"-", 0, false},      {"1e", 1, false},  {"1e+", 1, false},
        {"3 4", 3, false},        {"0x10", 0, false}, {"nan", 0, false},    {"inf", 0, false}, {"-infinity", 0, false},
        {"1,5", 1, false},        {"\n5", 0, false},  {"5\n", 5, false},    {"--5", 0, false}, {"+-5", 0, false},
        {"1.2.3", 1.2, false},    {"e5", 0, false},   {"1e-400", 0, false}, // too small for a double: 0 without a
                                                                            // leading '0'
    };
    for (const NumberCase& c : cases) ExpectParses(c);
}

TEST(ParseNumber, TooLargeIsInfiniteAndInvalid)
{
    double value = 0;
    EXPECT_FALSE(ParseNumber("1e999", value));
    EXPECT_EQ(value, HUGE_VAL);
    EXPECT_FALSE(ParseNumber("-1e400", value));
    EXPECT_EQ(value, -HUGE_VAL);
    EXPECT_FALSE(ParseNumber(("1" + std::string(400, '0')).c_str(), value));
    EXPECT_TRUE(ParseNumber(("0." + std::string(400, '0') + "1").c_str(), value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(ParseNumber("1.7976931348623157e308", value));
    EXPECT_EQ(value, 1.7976931348623157e308);
}

TEST(ParseNumber, NullTextIsNoNumber)
{
    double value = 9;
    EXPECT_FALSE(ParseNumber(nullptr, value));
    EXPECT_EQ(value, 0);
}

TEST(ParseNumber, IgnoresTheProcessLocale)
{
    // A locale with a decimal comma must not turn "12.5" into 12.
    const char* before = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = before ? before : "C";
    bool switched = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE", "fr_FR.UTF-8", "German_Germany.1252", "French_France"})
        if (std::setlocale(LC_NUMERIC, name)) {
            switched = true;
            break;
        }
    double value = 0;
    const bool valid = ParseNumber("12.5", value);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_TRUE(valid);
    EXPECT_EQ(value, 12.5);
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma installed";
}

// The reading itself refuses no value: zero however written, and a number
// too small for a double, are whole numbers of value 0; only the shape
// decides.
TEST(ReadDecimalNumber, ZeroHoweverWrittenIsAWholeNumber)
{
    for (const char* zero : {"-0", ".0", "+0.0", "-.0e5", "1e-400", " \t0\t"}) {
        const common::DecimalReading reading = ReadDecimalNumber(zero);
        EXPECT_TRUE(reading.whole) << '"' << zero << '"';
        EXPECT_EQ(reading.value, 0) << '"' << zero << '"';
    }
    for (const char* shape : {"1e", "0x10", "1.2.3", "nan", ""}) EXPECT_FALSE(ReadDecimalNumber(shape).whole) << shape;
    const common::DecimalReading huge = ReadDecimalNumber("-1e999");
    EXPECT_TRUE(huge.whole);
    EXPECT_EQ(huge.value, -HUGE_VAL);
    // A text is its own length, not up to a terminator.
    EXPECT_FALSE(ReadDecimalNumber(std::string_view("5\0"
                                                    "7",
                                                    3))
                     .whole);
}

} // namespace
