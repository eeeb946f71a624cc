#pragma once
// Paths and helpers the tests of the shipped files share.
#include <filesystem>
#include <string>

namespace dist {

inline std::filesystem::path SourceRoot()
{
    return BRELVIN_SOURCE_DIR;
}
inline std::filesystem::path DistFolder()
{
    return SourceRoot() / "dist";
}

// The whole file as bytes.
std::string ReadBytes(const std::filesystem::path& file);

// UTF-16LE text with a byte-order mark as UTF-8; empty when `bytes` is not
// such text (no mark, odd length, a lone surrogate).
std::string Utf16LeToUtf8(const std::string& bytes);

// Number of UTF-16 code units that a UTF-8 text takes.
std::size_t Utf16Length(const std::string& utf8);

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace dist
