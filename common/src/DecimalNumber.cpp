#include "common/DecimalNumber.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace common {
namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The longest prefix of [p, end) that reads as an unsigned decimal number:
// digits, an optional '.' fraction, an optional exponent. `p` when there is
// no digit before the exponent.
const char* ScanDecimal(const char* p, const char* end)
{
    const char* const start = p;
    bool digits = false;
    while (p < end && IsDigit(*p)) {
        ++p;
        digits = true;
    }
    if (p < end && *p == '.') {
        const char* fraction = p + 1;
        while (fraction < end && IsDigit(*fraction)) {
            ++fraction;
            digits = true;
        }
        if (digits) p = fraction;
    }
    if (!digits) return start;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* exponent = p + 1;
        if (exponent < end && (*exponent == '+' || *exponent == '-')) ++exponent;
        if (exponent < end && IsDigit(*exponent)) {
            while (exponent < end && IsDigit(*exponent)) ++exponent;
            p = exponent;
        }
    }
    return p;
}

// For a decimal text that does not fit a double: whether it is too large
// (rather than too small), judged by the position of its first non-zero
// digit against the exponent.
bool Overflows(const char* begin, const char* end)
{
    long long magnitude = 0; // decimal position of the first significant digit
    const char* p = begin;
    bool seenSignificant = false;
    bool inFraction = false;
    for (; p < end && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            inFraction = true;
            continue;
        }
        if (!seenSignificant && *p != '0') seenSignificant = true;
        if (!inFraction && seenSignificant) ++magnitude;
        if (inFraction && !seenSignificant) --magnitude;
    }
    long long exponent = 0;
    if (p < end) {
        ++p;
        bool negative = false;
        if (*p == '+' || *p == '-') negative = *p++ == '-';
        for (; p < end && exponent < 100000; ++p) exponent = exponent * 10 + (*p - '0');
        if (negative) exponent = -exponent;
    }
    return magnitude + exponent > 0;
}

const char* SkipBlanks(const char* p, const char* end)
{
    while (p < end && IsBlank(*p)) ++p;
    return p;
}

} // namespace

DecimalReading ReadDecimalNumber(std::string_view text)
{
    DecimalReading reading;
    const char* const end = text.data() + text.size();
    const char* digits = SkipBlanks(text.data(), end);
    bool negative = false;
    if (digits < end && (*digits == '+' || *digits == '-')) negative = *digits++ == '-';
    const char* const number = ScanDecimal(digits, end);
    if (number == digits) return reading;

    double magnitude = 0;
    const auto [stop, error] = std::from_chars(digits, number, magnitude, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        magnitude = Overflows(digits, number) ? HUGE_VAL : 0.0;
    } else if (error != std::errc() || stop != number) {
        return reading;
    }
    reading.value = negative ? -magnitude : magnitude;
    reading.whole = SkipBlanks(number, end) == end;
    return reading;
}

bool ParseNumber(const char* text, double& value)
{
    value = 0;
    if (!text) return false;
    const std::string_view whole(text);
    const DecimalReading reading = ReadDecimalNumber(whole);
    value = reading.value;
    // A value too large for a double is no usable number, though it is
    // stored as the conversion gives it.
    if (std::isinf(value)) return false;
    const std::string_view::size_type first = whole.find_first_not_of(" \t");
    if (value == 0 && (first == std::string_view::npos || whole[first] != '0')) return false;
    return reading.whole;
}

} // namespace common
