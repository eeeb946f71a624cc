#pragma once
// A settings file held in memory, with the profile functions' matching rules,
// for loading calibrations without touching the disk.
#include "common/IniDocument.h"
#include "common/Profile.h"

#include <string>
#include <string_view>

namespace calibration_testing {

class MemoryProfile final : public common::Profile {
public:
    explicit MemoryProfile(std::string_view text = {})
        : document_(text)
    {}

    int ReadInt(const std::string& section, const std::string& key, int fallback) const override
    {
        const auto value = document_.Find(section, key, common::kProfileBufferChars);
        if (!value || value->empty()) return fallback;
        return common::ParseProfileInt(*value);
    }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override
    {
        return document_.Find(section, key, common::kProfileBufferChars).value_or(fallback);
    }

    void WriteString(const std::string& section, const std::string& key, const std::string& value) override
    {
        ++writes;
        document_.Set(section, key, value);
    }

    int writes = 0;

    std::string Text() const { return document_.Text(); }

private:
    common::IniDocument document_;
};

} // namespace calibration_testing
