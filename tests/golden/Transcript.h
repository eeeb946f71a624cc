#pragma once
// The text a replayed session leaves: one line for everything the driver
// sent out, stamped with the replay clock's milliseconds.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

namespace golden {

class Transcript {
public:
    void SetTime(std::uint32_t ms) { now_ = ms; }

#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    void
    Line(const char* format, ...)
    {
        char text[1200];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        char stamp[24];
        std::snprintf(stamp, sizeof stamp, "%6u ", static_cast<unsigned>(now_));
        text_ += stamp;
        text_ += text;
        text_ += '\n';
    }

    // A line without a time: what the session did, for the reader.
    void Heading(const std::string& text)
    {
        text_ += "# " + text + "\n";
    }

    const std::string& Text() const
    {
        return text_;
    }

private:
    std::uint32_t now_ = 0;
    std::string text_;
};

// Bytes as upper-case hexadecimal digits, without separators.
inline std::string Hex(const std::uint8_t* data, std::size_t size)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size * 2);
    for (std::size_t n = 0; n < size; ++n) {
        text += digits[data[n] >> 4];
        text += digits[data[n] & 0xF];
    }
    return text;
}

} // namespace golden
