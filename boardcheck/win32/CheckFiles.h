#pragma once
// The files the check reads and writes, all in the folder of the support
// log (the user's local application data): the support log's end, and the
// saved reports with their pictures ("Board-check-<date>-<time>.txt" and
// ".bmp").
#include <string>

namespace boardcheck {

// "<local application data>\CvSoftware\Drivers\", empty when the system names none.
std::wstring SupportFolder();
std::wstring SupportLogPath();

// The last `maxBytes` of a file, as they are; empty when it cannot be read.
std::string ReadFileEnd(const std::wstring& path, unsigned long maxBytes);

// A fresh name for a report saved now, without its extension.
std::wstring NewReportStem();
// Writes `utf8` with a byte-order mark, so that every editor reads it right.
bool WriteUtf8File(const std::wstring& path, const std::string& utf8);

} // namespace boardcheck
