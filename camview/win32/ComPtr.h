#pragma once
// Owner of one COM interface reference.
#include <objbase.h>

#include <utility>

namespace camview {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept
        : p_(std::exchange(other.p_, nullptr))
    {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For out-parameters: releases the current reference first.
    T** Put()
    {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    void Reset()
    {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

    template <typename U>
    HRESULT As(REFIID iid, ComPtr<U>& other) const
    {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, other.PutVoid());
    }

private:
    T* p_ = nullptr;
};

} // namespace camview
