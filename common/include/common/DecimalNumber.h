#pragma once
// The one reading of a decimal number in the suite's settings: the
// calibration's coordinates and the options' numbers alike. Always the C
// locale's '.' whatever the process locale, and never names ("inf", "nan")
// or hexadecimal, which a settings file written anywhere must not depend on.
#include <string_view>

namespace common {

struct DecimalReading {
    // The value of the longest prefix that reads as a number after blanks
    // and tabs: an optional sign, digits with an optional '.' fraction (at
    // least one digit in all), an optional exponent. 0 without such a
    // prefix; infinite when the number is too large for a double, 0 when it
    // is too small.
    double value = 0;
    // The number is the whole text, blanks and tabs around it aside.
    bool whole = false;
};

DecimalReading ReadDecimalNumber(std::string_view text);

// The settings files' number: the value is stored in every case; false when
// the number is not the whole text, is too large for a double, or is 0
// without a leading '0' (so "-0", ".0" and a number too small to be told
// from 0 count as no number, as they always have in WBInit.ini).
bool ParseNumber(const char* text, double& value);

} // namespace common
