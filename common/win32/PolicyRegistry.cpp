#include "common/PolicyRegistry.h"

#include "common/Profile.h"
#include "common/UniqueHandle.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace common {
namespace {

const char* HiveName(HKEY hive)
{
    return hive == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU";
}

UniqueRegistryKey OpenPolicySection(HKEY hive, const char* policyKey, const char* section)
{
    const std::string path = std::string(policyKey) + "\\" + section;
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return {};
    return UniqueRegistryKey(key);
}

// The value as the file would hold it; false when there is none. A value of
// an unusable type adds a line to `problems` and counts as none.
bool ReadPolicyText(HKEY hive, const char* policyKey, const Option& option, std::string& text,
                    std::vector<std::string>& problems)
{
    const UniqueRegistryKey key = OpenPolicySection(hive, policyKey, option.section);
    if (!key) return false;
    DWORD type = 0;
    // Room for the longest value the profile functions return (259
    // characters and the terminator), and one more byte so that a string
    // stored without its terminator still ends in the buffer.
    char data[kProfileBufferChars + 1] = {};
    DWORD size = kProfileBufferChars;
    const LONG read = RegQueryValueExA(key.Get(), option.key, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    if (read == ERROR_FILE_NOT_FOUND) return false;
    if (read == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD value = 0;
        std::memcpy(&value, data, sizeof value);
        char digits[16];
        std::snprintf(digits, sizeof digits, "%lu", static_cast<unsigned long>(value));
        text = digits;
        return true;
    }
    const bool isText = type == REG_SZ || type == REG_EXPAND_SZ;
    const std::size_t length = strnlen(data, size);
    const bool tooLong = read == ERROR_MORE_DATA || (isText && length >= kProfileBufferChars);
    if (read == ERROR_SUCCESS && isText && !tooLong) {
        text.assign(data, length);
        return true;
    }
    char line[200];
    std::snprintf(line, sizeof line, "The policy %s\\%s\\%s value %s is not a %s (%s); it is ignored.", HiveName(hive),
                  policyKey, option.section, option.key, IsDwordOption(option) ? "REG_DWORD" : "REG_SZ",
                  tooLong ? "longer than 259 characters" : "another type");
    problems.push_back(line);
    return false;
}

} // namespace

PolicyReading ReadPolicies(const char* policyKey)
{
    PolicyReading reading;
    for (const Option* option : kOptions) {
        std::string text;
        if (ReadPolicyText(HKEY_LOCAL_MACHINE, policyKey, *option, text, reading.problems) ||
            (option->scope == OptionScope::User &&
             ReadPolicyText(HKEY_CURRENT_USER, policyKey, *option, text, reading.problems))) {
            reading.values.Set(*option, std::move(text));
        }
    }
    return reading;
}

} // namespace common
