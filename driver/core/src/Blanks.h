#pragma once
// The blanks that may surround a value in a line of the settings files.

namespace driver {

inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace driver
