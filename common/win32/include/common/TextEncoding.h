#pragma once
// The suite's programs keep their texts in UTF-8. Windows, file names and
// the wide functions want UTF-16; the support log, Language.ini, the
// driver's answers and the event log's inserts are in the system code page.
// A text that does not convert gives "".
#include <string>

namespace common {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

std::wstring WideFromCodePage(const std::string& text);
std::string CodePageFromWide(const std::wstring& wide);

std::string Utf8FromCodePage(const std::string& text);
std::string CodePageFromUtf8(const std::string& utf8);

} // namespace common
