#include "FakeCameraRegistry.h"

#include <windows.h>

#include <cwctype>
#include <vector>

namespace fakecamera {

namespace {

const wchar_t kCategoryInstances[] = L"CLSID\\{860BB310-5D01-11d0-BD3B-00A0C911CE86}\\Instance";

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey()
    {
        if (key_) RegCloseKey(key_);
    }
    bool Create(HKEY parent, const std::wstring& path)
    {
        return RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_, nullptr) ==
               ERROR_SUCCESS;
    }
    bool Open(HKEY parent, const std::wstring& path)
    {
        return RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key_) == ERROR_SUCCESS;
    }
    bool SetText(const wchar_t* name, const std::wstring& value)
    {
        const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
               ERROR_SUCCESS;
    }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

bool DeleteTree(const std::wstring& path)
{
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::wstring ClassKey()
{
    return std::wstring(L"CLSID\\") + kClassIdText;
}
std::wstring InstanceKey(const std::wstring& name)
{
    return std::wstring(kCategoryInstances) + L"\\" + name;
}

// The names of the category's devices that the fake camera class serves.
std::vector<std::wstring> FakeCameraDevices()
{
    std::vector<std::wstring> names;
    RegKey instances;
    if (!instances.Open(HKEY_CLASSES_ROOT, kCategoryInstances)) return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(instances.Get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        wchar_t classId[64] = {};
        DWORD bytes = sizeof(classId) - sizeof(wchar_t);
        if (RegGetValueW(instances.Get(), name, L"CLSID", RRF_RT_REG_SZ, nullptr, classId, &bytes) == ERROR_SUCCESS &&
            lstrcmpiW(classId, kClassIdText) == 0)
            names.emplace_back(name);
    }
    return names;
}

} // namespace

bool RegisterFakeCameraClass(const std::wstring& dllPath)
{
    RegKey classKey;
    RegKey server;
    return classKey.Create(HKEY_CLASSES_ROOT, ClassKey()) && classKey.SetText(nullptr, kFriendlyName) &&
           server.Create(HKEY_CLASSES_ROOT, ClassKey() + L"\\InprocServer32") && server.SetText(nullptr, dllPath) &&
           server.SetText(L"ThreadingModel", L"Both");
}

bool AddFakeCameraDevice(const std::wstring& instanceName, const std::wstring& devicePath)
{
    RegKey instance;
    return instance.Create(HKEY_CLASSES_ROOT, InstanceKey(instanceName)) && instance.SetText(L"CLSID", kClassIdText) &&
           instance.SetText(L"FriendlyName", kFriendlyName) && instance.SetText(L"DevicePath", devicePath);
}

bool RegisterFakeCamera(const std::wstring& dllPath, const std::wstring& devicePath)
{
    UnregisterFakeCamera();
    return RegisterFakeCameraClass(dllPath) && AddFakeCameraDevice(kClassIdText, devicePath);
}

bool UnregisterFakeCamera()
{
    bool clean = true;
    for (const std::wstring& name : FakeCameraDevices()) clean = DeleteTree(InstanceKey(name)) && clean;
    return DeleteTree(ClassKey()) && clean;
}

std::wstring UsbDevicePath(const std::string& hardwareId)
{
    std::wstring id;
    for (char c : hardwareId) id.push_back(static_cast<wchar_t>(std::towlower(static_cast<unsigned char>(c))));
    return L"\\\\?\\usb#" + id + L"&mi_00#7&2f3a4b5c&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
}

} // namespace fakecamera
