#pragma once
// Owners for the kernel handles of the driver.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace brelvin {

struct KernelHandleCloser {
    void operator()(HANDLE handle) const
    {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleCloser>;

struct ViewUnmapper {
    void operator()(void* view) const
    {
        if (view) UnmapViewOfFile(view);
    }
};
using UniqueView = std::unique_ptr<void, ViewUnmapper>;

} // namespace brelvin
