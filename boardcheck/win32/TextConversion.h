#pragma once
// The check keeps its texts in UTF-8; the window wants UTF-16, and the
// driver's answers and the support log come in the system code page.
#include <string>

namespace boardcheck {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::string Utf8FromCodePage(const std::string& text);

} // namespace boardcheck
