#include "common/PortableProfile.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace common {
namespace {

struct FileStamp {
    std::int64_t size = -1;
    std::int64_t time = -1;
};

FileStamp StampOf(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return {};
#if defined(__APPLE__)
    std::int64_t ns = static_cast<std::int64_t>(st.st_mtimespec.tv_sec) * 1000000000 + st.st_mtimespec.tv_nsec;
#elif defined(_WIN32)
    std::int64_t ns = static_cast<std::int64_t>(st.st_mtime) * 1000000000;
#else
    std::int64_t ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
    return {static_cast<std::int64_t>(st.st_size), ns};
}

} // namespace

PortableProfile::PortableProfile(std::string path)
    : path_(std::move(path))
{}

const IniDocument& PortableProfile::Document() const
{
    FileStamp stamp = StampOf(path_);
    if (!loaded_ || stamp.size != stampSize_ || stamp.time != stampTime_) {
        std::ifstream in(path_, std::ios::binary);
        std::string text;
        if (in) text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        document_ = IniDocument(text);
        loaded_ = true;
        stampSize_ = stamp.size;
        stampTime_ = stamp.time;
    }
    return document_;
}

int PortableProfile::ReadInt(const std::string& section, const std::string& key, int fallback) const
{
    return ReadProfileInt(Document(), section, key, fallback);
}

std::string PortableProfile::ReadString(const std::string& section, const std::string& key,
                                        const std::string& fallback) const
{
    return ReadProfileString(Document(), section, key, fallback);
}

void PortableProfile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    IniDocument doc = Document();
    doc.Set(section, key, value);
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    if (!out) return;
    out << doc.Text();
    out.close();
    loaded_ = false; // parse what actually reached the disk on the next read
}

} // namespace common
