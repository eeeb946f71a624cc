#include "common/Win32Profile.h"

#include "common/LanguageStrings.h"

#include <windows.h>

namespace common {

int Win32Profile::ReadInt(const std::string& section, const std::string& key, int fallback) const
{
    return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), fallback, path_.c_str()));
}

std::string Win32Profile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& fallback) const
{
    char buffer[kProfileBufferChars] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer, sizeof buffer, path_.c_str());
    return buffer;
}

void Win32Profile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str());
}

std::wstring ReadLanguageTextW(const std::wstring& languageFile, const wchar_t* section, const wchar_t* key)
{
    wchar_t buffer[kProfileBufferChars] = {};
    GetPrivateProfileStringW(section, key, L"GetError", buffer, kProfileBufferChars, languageFile.c_str());
    return buffer;
}

} // namespace common
