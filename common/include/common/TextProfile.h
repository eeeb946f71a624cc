#pragma once
// Profile access over a settings text held in memory, with the same answers
// the file's profile functions give: what a program would read from that
// text once it is the file. Writes change the text in memory only.
#include "common/IniDocument.h"
#include "common/Profile.h"

#include <string>
#include <string_view>

namespace common {

class TextProfile final : public Profile {
public:
    explicit TextProfile(std::string_view text)
        : document_(text)
    {}

    int ReadInt(const std::string& section, const std::string& key, int fallback) const override
    {
        return ReadProfileInt(document_, section, key, fallback);
    }
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override
    {
        return ReadProfileString(document_, section, key, fallback);
    }
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override
    {
        document_.Set(section, key, value);
    }

private:
    IniDocument document_;
};

} // namespace common
