#include "TextConversion.h"

#include <windows.h>

namespace boardcheck {
namespace {

std::wstring ToWide(const std::string& text, UINT codePage)
{
    if (text.empty()) return std::wstring();
    const int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

} // namespace

std::wstring Wide(const std::string& utf8)
{
    return ToWide(utf8, CP_UTF8);
}

std::string Utf8(const std::wstring& wide)
{
    if (wide.empty()) return std::string();
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size, nullptr, nullptr);
    return text;
}

std::string Utf8FromCodePage(const std::string& text)
{
    return Utf8(ToWide(text, CP_ACP));
}

} // namespace boardcheck
