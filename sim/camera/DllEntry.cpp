// The in-process server: one class, the fake camera filter.
#include "FakeCameraFilter.h"
#include "SingleInterfaceObject.h"

#include <windows.h>

#include <new>

namespace fakecamera {

HMODULE g_module = nullptr;
extern const CLSID kFakeCameraClassId;

namespace {

class ClassFactory final : public SingleInterfaceObject<IClassFactory, &IID_IClassFactory> {
public:
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return CreateFakeCamera(iid, object);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

} // namespace

} // namespace fakecamera

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        fakecamera::g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID id, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (id != fakecamera::kFakeCameraClassId) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) fakecamera::ClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

// Streaming threads may outlive the last reference the caller sees, so the
// DLL stays loaded for the life of the process.
extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    return S_FALSE;
}
