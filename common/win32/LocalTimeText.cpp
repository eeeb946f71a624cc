#include "common/LocalTimeText.h"

#include <windows.h>

#include <cstdio>

namespace common {
namespace {

// Every form takes the fields in the same order, year to milliseconds, and
// uses as many of them as it names.
std::string LocalTimeAs(const char* form)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, form, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                  now.wMilliseconds);
    return text;
}

} // namespace

std::string LocalTimeText()
{
    return LocalTimeAs("%04u-%02u-%02u %02u:%02u:%02u");
}

std::string LocalTimeTextWithMilliseconds()
{
    return LocalTimeAs("%04u-%02u-%02u %02u:%02u:%02u.%03u");
}

std::string LocalTimeFileStamp()
{
    return LocalTimeAs("%04u%02u%02u-%02u%02u%02u");
}

} // namespace common
