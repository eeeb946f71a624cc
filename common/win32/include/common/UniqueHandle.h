#pragma once
// Owners of the system's handles, one family for every program of the suite:
// each owner closes its handle when it goes, can be moved but not copied,
// and knows one "no handle" value. A handle the system gives back as its
// failure value is taken as none, so `if (owner)` is the one test after a
// call, whichever of null or INVALID_HANDLE_VALUE the call fails with.
//
// Sockets have their owner in common/UniqueSocket.h, which brings in
// Windows Sockets 2.
#include <windows.h>

#include <utility>

namespace common {

// `Traits` names the handle type (Handle), its "no handle" value (None),
// which values are handles at all (Valid) and how one is closed (Close).
template <typename Traits>
class UniqueResource {
public:
    using Handle = typename Traits::Handle;

    UniqueResource() = default;
    explicit UniqueResource(Handle handle)
        : handle_(Traits::Valid(handle) ? handle : Traits::None())
    {}
    ~UniqueResource() { Reset(); }

    UniqueResource(UniqueResource&& other) noexcept
        : handle_(other.Release())
    {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::None(); }

    // Gives the handle up without closing it.
    Handle Release() { return std::exchange(handle_, Traits::None()); }
    // Closes the handle held (if any) and takes `handle` instead.
    void Reset(Handle handle = Traits::None())
    {
        const Handle old = std::exchange(handle_, Traits::Valid(handle) ? handle : Traits::None());
        if (old != Traits::None()) Traits::Close(old);
    }

private:
    Handle handle_ = Traits::None();
};

// Kernel objects: processes, threads, events, mutexes, files, pipes, mappings.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE None() { return nullptr; }
    static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// A view of a file mapping, as MapViewOfFile returns it.
struct MappedViewTraits {
    using Handle = void*;
    static void* None() { return nullptr; }
    static bool Valid(void* view) { return view != nullptr; }
    static void Close(void* view) { UnmapViewOfFile(view); }
};
using UniqueView = UniqueResource<MappedViewTraits>;

// A directory search of FindFirstFile.
struct FindHandleTraits {
    using Handle = HANDLE;
    static HANDLE None() { return nullptr; }
    static bool Valid(HANDLE search) { return search != nullptr && search != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE search) { FindClose(search); }
};
using UniqueFind = UniqueResource<FindHandleTraits>;

// A hook of SetWindowsHookEx.
struct HookTraits {
    using Handle = HHOOK;
    static HHOOK None() { return nullptr; }
    static bool Valid(HHOOK hook) { return hook != nullptr; }
    static void Close(HHOOK hook) { UnhookWindowsHookEx(hook); }
};
using UniqueHook = UniqueResource<HookTraits>;

// An open registry key of RegOpenKeyEx.
struct RegistryKeyTraits {
    using Handle = HKEY;
    static HKEY None() { return nullptr; }
    static bool Valid(HKEY key) { return key != nullptr; }
    static void Close(HKEY key) { RegCloseKey(key); }
};
using UniqueRegistryKey = UniqueResource<RegistryKeyTraits>;

// A window of CreateWindowEx; destroyed on the thread that made it, as the
// system requires, so an owner never moves to another thread.
struct WindowTraits {
    using Handle = HWND;
    static HWND None() { return nullptr; }
    static bool Valid(HWND window) { return window != nullptr; }
    static void Close(HWND window) { DestroyWindow(window); }
};
using UniqueWindow = UniqueResource<WindowTraits>;

} // namespace common
