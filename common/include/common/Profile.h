#pragma once
// Access to one INI file in the way the platform's profile functions offer
// it: integers with a default, texts with a default cut to the 260-character
// buffers the suite reads into, and single-key writes that go straight to the
// file. The Windows build uses the real profile functions; the portable
// reader follows their matching rules so that the core behaves the same on
// both.
#include <string>

namespace common {

// Room of every text buffer the suite reads into, terminator included.
constexpr std::size_t kProfileBufferChars = 260;

class Profile {
public:
    virtual ~Profile() = default;

    // Leading decimal digits of the value (sign allowed); `fallback` when the
    // key is missing or its value is empty.
    virtual int ReadInt(const std::string& section, const std::string& key, int fallback) const = 0;

    // The value, at most kProfileBufferChars - 1 characters; `fallback` when
    // the file, the section or the key is missing.
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& fallback) const = 0;

    // Creates the file, the section or the key as needed. Failures are not
    // reported, as with the platform's write.
    virtual void WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
};

} // namespace common
