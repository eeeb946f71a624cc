// The in-process server: one class, the fake camera filter.
#include "FakeCameraFilter.h"

#include <windows.h>

#include <atomic>
#include <new>

namespace fakecamera {

HMODULE g_module = nullptr;
extern const CLSID kFakeCameraClassId;

namespace {

class ClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return CreateFakeCamera(iid, object);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    std::atomic<ULONG> refs_{1};
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
