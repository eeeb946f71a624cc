#pragma once
// The kit's strings are narrow, in the system code page; some calls want
// UTF-16 and some reports UTF-8.
#include <string>

namespace sim {

// A path (or any text) in the system code page, as UTF-16.
std::wstring WidePath(const std::string& path);
// UTF-16 text as UTF-8, for output that must not depend on the code page.
std::string Utf8(const wchar_t* text);

} // namespace sim
