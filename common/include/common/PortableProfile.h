#pragma once
// Profile access over a file through IniDocument, for platforms without the
// profile functions. The file is parsed again only when its size or time
// stamp changed, so a load that reads hundreds of keys parses it once.
#include "common/IniDocument.h"
#include "common/Profile.h"

#include <cstdint>
#include <string>

namespace common {

class PortableProfile final : public Profile {
public:
    explicit PortableProfile(std::string path);

    int ReadInt(const std::string& section, const std::string& key, int fallback) const override;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;

    const std::string& Path() const { return path_; }

private:
    const IniDocument& Document() const;

    std::string path_;
    mutable IniDocument document_;
    mutable bool loaded_ = false;
    mutable std::int64_t stampSize_ = -1;
    mutable std::int64_t stampTime_ = -1;
};

} // namespace common
