#pragma once
// Profile access through the platform's narrow profile functions.
#include "common/Profile.h"

#include <string>

namespace common {

class Win32Profile final : public Profile {
public:
    explicit Win32Profile(std::string path)
        : path_(std::move(path))
    {}

    int ReadInt(const std::string& section, const std::string& key, int fallback) const override;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// One text through the wide profile function, as the tools read Language.ini:
// "GetError" when the file, section or key is missing, at most 259 characters.
std::wstring ReadLanguageTextW(const std::wstring& languageFile, const wchar_t* section, const wchar_t* key);

} // namespace common
