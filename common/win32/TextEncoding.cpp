#include "common/TextEncoding.h"

#include <windows.h>

namespace common {
namespace {

std::wstring ToWide(UINT codePage, const std::string& text)
{
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide)
{
    if (wide.empty()) return {};
    const int length =
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length, nullptr, nullptr);
    return text;
}

} // namespace

std::wstring Wide(const std::string& utf8)
{
    return ToWide(CP_UTF8, utf8);
}

std::string Utf8(const std::wstring& wide)
{
    return FromWide(CP_UTF8, wide);
}

std::wstring WideFromCodePage(const std::string& text)
{
    return ToWide(CP_ACP, text);
}

std::string CodePageFromWide(const std::wstring& wide)
{
    return FromWide(CP_ACP, wide);
}

std::string Utf8FromCodePage(const std::string& text)
{
    return Utf8(WideFromCodePage(text));
}

std::string CodePageFromUtf8(const std::string& utf8)
{
    return CodePageFromWide(Wide(utf8));
}

} // namespace common
