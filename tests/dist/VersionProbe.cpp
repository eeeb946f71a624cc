// Prints the version resource of each file as the system reads it, one
// "key=value" line per field, so a script can compare it with the package.
// Usage: VersionProbe <file>...
// Lines per file: file=, fixed.file=a.b.c.d, fixed.product=a.b.c.d,
// fixed.type=app|dll|other, then string.<name>= for each string of the first
// translation. A file without a version resource prints "version=none".
#include "sim/TextForms.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Quad(DWORD high, DWORD low)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%lu.%lu.%lu.%lu", static_cast<unsigned long>(HIWORD(high)),
                  static_cast<unsigned long>(LOWORD(high)), static_cast<unsigned long>(HIWORD(low)),
                  static_cast<unsigned long>(LOWORD(low)));
    return text;
}

const char* TypeName(DWORD type)
{
    if (type == VFT_APP) return "app";
    if (type == VFT_DLL) return "dll";
    return "other";
}

void PrintFile(const wchar_t* path)
{
    std::printf("file=%s\n", sim::Utf8(path).c_str());
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, block.data())) {
        std::printf("version=none\n");
        return;
    }

    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        if (fixed->dwSignature == VS_FFI_SIGNATURE) {
            std::printf("fixed.file=%s\n", Quad(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str());
            std::printf("fixed.product=%s\n", Quad(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str());
            std::printf("fixed.type=%s\n", TypeName(fixed->dwFileType));
        }
    }

    struct Translation {
        WORD language;
        WORD codePage;
    };
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < sizeof(Translation)) {
        std::printf("translation=none\n");
        return;
    }
    const auto* translation = static_cast<const Translation*>(value);
    std::printf("translation=%04x%04x\n", translation->language, translation->codePage);
    static const wchar_t* const kNames[] = {L"CompanyName",      L"FileDescription", L"FileVersion",   L"InternalName",
                                            L"OriginalFilename", L"ProductName",     L"ProductVersion"};
    for (const wchar_t* name : kNames) {
        wchar_t query[128];
        swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage, name);
        if (VerQueryValueW(block.data(), query, &value, &length) && length > 0) {
            std::printf("string.%s=%s\n", sim::Utf8(name).c_str(),
                        sim::Utf8(static_cast<const wchar_t*>(value)).c_str());
        }
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::printf("usage: VersionProbe <file>...\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) PrintFile(argv[i]);
    return 0;
}
