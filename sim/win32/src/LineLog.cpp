#include "sim/LineLog.h"

#include "common/UniqueHandle.h"
#include "common/Win32System.h"

namespace sim {

bool AppendText(const std::string& path, const std::string& text)
{
    return common::AppendToFile(path, text);
}

bool AppendLine(const std::string& path, const std::string& line)
{
    return AppendText(path, line + "\r\n");
}

std::string ReadWholeFile(const std::string& path)
{
    common::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    if (!file) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

bool WriteWholeFile(const std::string& path, const std::string& text)
{
    common::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

long long NowMicroseconds()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    const long long f = frequency.QuadPart;
    const long long c = counter.QuadPart;
    return c / f * 1000000 + c % f * 1000000 / f;
}

} // namespace sim
