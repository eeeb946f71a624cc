#include "WideIniProfile.h"

#include <windows.h>

namespace pentool {

namespace {

// Names and the values this tool writes are ASCII; anything wider is read
// back as '?' rather than mis-decoded.
std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace

int WideIniProfile::ReadInt(const std::string& section, const std::string& key, int fallback) const
{
    return static_cast<int>(GetPrivateProfileIntW(Widen(section).c_str(), Widen(key).c_str(), fallback, path_.c_str()));
}

std::string WideIniProfile::ReadString(const std::string& section, const std::string& key,
                                       const std::string& fallback) const
{
    wchar_t buffer[common::kProfileBufferChars] = {};
    GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(fallback).c_str(), buffer,
                             common::kProfileBufferChars, path_.c_str());
    return Narrow(buffer);
}

void WideIniProfile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(), path_.c_str());
}

} // namespace pentool
