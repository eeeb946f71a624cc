#pragma once
// The calibration keeps its texts in UTF-8; the window and the file system
// speak UTF-16, and the support log, like the driver's lines in it, the
// system code page.
#include <string>

namespace kalmeno {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::string CodePageFromUtf8(const std::string& utf8);

} // namespace kalmeno
