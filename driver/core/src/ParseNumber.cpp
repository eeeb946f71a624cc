#include "driver/Calibration.h"

#include "Blanks.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace driver {
namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The longest prefix of `text` that reads as an unsigned decimal number:
// digits, an optional '.' fraction, an optional exponent. 0 when there is no
// digit before the exponent.
const char* ScanDecimal(const char* text)
{
    const char* p = text;
    bool digits = false;
    while (IsDigit(*p)) {
        ++p;
        digits = true;
    }
    if (*p == '.') {
        const char* fraction = p + 1;
        while (IsDigit(*fraction)) {
            ++fraction;
            digits = true;
        }
        if (digits) p = fraction;
    }
    if (!digits) return text;
    if (*p == 'e' || *p == 'E') {
        const char* exponent = p + 1;
        if (*exponent == '+' || *exponent == '-') ++exponent;
        if (IsDigit(*exponent)) {
            while (IsDigit(*exponent)) ++exponent;
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

} // namespace

bool ParseNumber(const char* text, double& value)
{
    value = 0;
    if (!text) return false;
    const char* start = text;
    while (IsBlank(*start)) ++start;

    const char* digits = start;
    bool negative = false;
    if (*digits == '+' || *digits == '-') negative = *digits++ == '-';
    const char* end = ScanDecimal(digits);
    if (end == digits) return false;

    double magnitude = 0;
    const auto [stop, error] = std::from_chars(digits, end, magnitude, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        magnitude = Overflows(digits, end) ? HUGE_VAL : 0.0;
    } else if (error != std::errc() || stop != end) {
        return false;
    }
    value = negative ? -magnitude : magnitude;

    // A value too large for a double is no usable number, though it is
    // stored as the conversion gives it.
    if (std::isinf(value)) return false;
    if (value == 0 && *start != '0') return false;
    const char* rest = end;
    while (IsBlank(*rest)) ++rest;
    return *rest == '\0';
}

} // namespace driver
