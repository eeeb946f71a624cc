#pragma once
// WBInit.ini through the wide profile functions, as the pen-button tool
// reads and writes it. Section and key names are plain ASCII.
#include "common/Profile.h"

#include <string>

namespace pentool {

class WideIniProfile final : public common::Profile {
public:
    explicit WideIniProfile(std::wstring path)
        : path_(std::move(path))
    {}

    int ReadInt(const std::string& section, const std::string& key, int fallback) const override;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;

private:
    std::wstring path_;
};

} // namespace pentool
