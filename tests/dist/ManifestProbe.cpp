// Prints what the system's activation-context loader reads from a program's
// embedded manifest, one "key=value" line each, so a script can check the
// decisions each program's manifest makes.
// Usage: ManifestProbe <program>
// Lines: manifest=present|none|unreadable, then for a readable manifest
// runlevel=unspecified|asInvoker|highestAvailable|requireAdministrator,
// uiAccess=0|1, os={guid} per supported system, dpiAware=, dpiAwareness=
// (empty when not set) and assembly=<identity> per assembly in the context.
#include "sim/TextForms.h"

#include <windows.h>
#include <objbase.h>

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

class ActivationContext {
public:
    explicit ActivationContext(const wchar_t* path)
    {
        ACTCTXW description{};
        description.cbSize = sizeof(description);
        description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        description.lpSource = path;
        description.lpResourceName = MAKEINTRESOURCEW(1);
        handle_ = CreateActCtxW(&description);
    }
    ActivationContext(const ActivationContext&) = delete;
    ActivationContext& operator=(const ActivationContext&) = delete;
    ~ActivationContext()
    {
        if (handle_ != INVALID_HANDLE_VALUE) ReleaseActCtx(handle_);
    }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

    // The answer of one QueryActCtxW class, sized as the system asks.
    std::vector<BYTE> Query(ULONG infoClass, void* subInstance = nullptr) const
    {
        SIZE_T needed = 0;
        QueryActCtxW(0, handle_, subInstance, infoClass, nullptr, 0, &needed);
        if (needed == 0) return {};
        std::vector<BYTE> buffer(needed);
        if (!QueryActCtxW(0, handle_, subInstance, infoClass, buffer.data(), buffer.size(), &needed)) return {};
        return buffer;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

const char* RunLevelName(ACTCTX_REQUESTED_RUN_LEVEL level)
{
    switch (level) {
    case ACTCTX_RUN_LEVEL_UNSPECIFIED: return "unspecified";
    case ACTCTX_RUN_LEVEL_AS_INVOKER: return "asInvoker";
    case ACTCTX_RUN_LEVEL_HIGHEST_AVAILABLE: return "highestAvailable";
    case ACTCTX_RUN_LEVEL_REQUIRE_ADMIN: return "requireAdministrator";
    default: return "other";
    }
}

void PrintRunLevel(const ActivationContext& context)
{
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION info{};
    SIZE_T written = 0;
    if (!QueryActCtxW(0, context.Get(), nullptr, RunlevelInformationInActivationContext, &info, sizeof(info),
                      &written)) {
        std::printf("runlevel=unknown\n");
        return;
    }
    std::printf("runlevel=%s\n", RunLevelName(info.RunLevel));
    std::printf("uiAccess=%lu\n", static_cast<unsigned long>(info.UiAccess));
}

// The element of the compatibility answer as current systems (and Wine) lay it
// out; older headers and systems know it without the last member.
struct CompatibilityElement {
    GUID Id;
    ACTCTX_COMPATIBILITY_ELEMENT_TYPE Type;
    ULONGLONG MaxVersionTested;
};

void PrintSupportedSystems(const ActivationContext& context)
{
    const auto buffer = context.Query(CompatibilityInformationInActivationContext);
    if (buffer.size() < sizeof(DWORD)) return;
    DWORD count = 0;
    std::memcpy(&count, buffer.data(), sizeof(count));
    // Which layout the answer has follows from its size.
    size_t header = offsetof(ACTIVATION_CONTEXT_COMPATIBILITY_INFORMATION, Elements);
    size_t stride = sizeof(COMPATIBILITY_CONTEXT_ELEMENT);
    const size_t wideHeader = (sizeof(DWORD) + alignof(CompatibilityElement) - 1) / alignof(CompatibilityElement) *
                              alignof(CompatibilityElement);
    if (buffer.size() == wideHeader + count * sizeof(CompatibilityElement)) {
        header = wideHeader;
        stride = sizeof(CompatibilityElement);
    }
    for (DWORD i = 0; i < count && header + (i + 1) * stride <= buffer.size(); ++i) {
        const BYTE* element = buffer.data() + header + i * stride;
        GUID id;
        ACTCTX_COMPATIBILITY_ELEMENT_TYPE type;
        std::memcpy(&id, element, sizeof(id));
        std::memcpy(&type, element + sizeof(id), sizeof(type));
        if (type != ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) continue;
        wchar_t text[64];
        StringFromGUID2(id, text, 64);
        std::string name = sim::Utf8(text);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::printf("os=%s\n", name.c_str());
    }
}

void PrintSetting(const ActivationContext& context, const wchar_t* nameSpace, const wchar_t* name)
{
    wchar_t value[64] = L"";
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context.Get(), nameSpace, name, value, 64, &written)) value[0] = L'\0';
    std::printf("%s=%s\n", sim::Utf8(name).c_str(), sim::Utf8(value).c_str());
}

void PrintAssemblies(const ActivationContext& context)
{
    const auto detail = context.Query(ActivationContextDetailedInformation);
    if (detail.size() < sizeof(ACTIVATION_CONTEXT_DETAILED_INFORMATION)) return;
    const auto* info = reinterpret_cast<const ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(detail.data());
    for (DWORD index = 1; index <= info->ulAssemblyCount; ++index) {
        const auto buffer = context.Query(AssemblyDetailedInformationInActivationContext, &index);
        if (buffer.size() < sizeof(ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION)) continue;
        const auto* assembly = reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
        if (assembly->lpAssemblyEncodedAssemblyIdentity) {
            std::printf("assembly=%s\n", sim::Utf8(assembly->lpAssemblyEncodedAssemblyIdentity).c_str());
        }
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::printf("usage: ManifestProbe <program>\n");
        return 2;
    }
    const ActivationContext context(argv[1]);
    if (!context.Valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_RESOURCE_TYPE_NOT_FOUND || error == ERROR_RESOURCE_NAME_NOT_FOUND) {
            std::printf("manifest=none\n");
        } else {
            std::printf("manifest=unreadable (error %lu)\n", static_cast<unsigned long>(error));
        }
        return 0;
    }
    std::printf("manifest=present\n");
    PrintRunLevel(context);
    PrintSupportedSystems(context);
    PrintSetting(context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware");
    PrintSetting(context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness");
    PrintAssemblies(context);
    return 0;
}
