#pragma once
// Screen coordinates leave the double world by truncation toward zero. A
// mapping gone wild (huge or not a number) must not make that conversion
// undefined, so NaN gives 0 and values beyond the int range saturate.
#include <cmath>
#include <limits>

namespace driver {

inline int TruncateToInt(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0) return std::numeric_limits<int>::max();
    if (value <= -2147483649.0) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

} // namespace driver
