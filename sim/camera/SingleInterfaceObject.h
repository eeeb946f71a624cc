#pragma once
// IUnknown for the fake camera's small COM objects that offer one interface
// besides IUnknown: the reference count (starting at one, for the creator)
// and QueryInterface answering for that interface alone.
#include <unknwn.h>

#include <atomic>

namespace fakecamera {

template <class Interface, const IID* InterfaceId>
class SingleInterfaceObject : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == *InterfaceId) {
            *object = static_cast<Interface*>(this);
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

protected:
    SingleInterfaceObject() = default;
    virtual ~SingleInterfaceObject() = default;

private:
    std::atomic<ULONG> refs_{1};
};

} // namespace fakecamera
