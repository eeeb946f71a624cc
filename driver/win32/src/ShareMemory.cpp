#include "ShareMemory.h"

#include <cstring>

namespace brelvin {

CShareMemory::~CShareMemory()
{
    Close();
}

DWORD CShareMemory::Create(const char* name, DWORD sizeLow, DWORD sizeHigh, DWORD protection,
                           SECURITY_ATTRIBUTES* security)
{
    if (!name) return ERROR_INVALID_PARAMETER;
    Close();

    common::UniqueHandle mapping(
        CreateFileMappingA(INVALID_HANDLE_VALUE, security, protection, sizeHigh, sizeLow, name));
    if (!mapping) return GetLastError();

    const std::string mutexName = std::string(name) + "Mtx";
    common::UniqueHandle mutex(CreateMutexA(security, FALSE, mutexName.c_str()));
    if (!mutex) return GetLastError();

    common::UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view) return GetLastError();

    // The real size of a mapping somebody else created may differ from ours.
    MEMORY_BASIC_INFORMATION region = {};
    VirtualQuery(view.Get(), &region, sizeof region);
    const std::size_t mapped = region.RegionSize;
    const std::size_t cleared = sizeLow < mapped ? sizeLow : mapped;

    // Also drops a record the service left from an earlier run.
    std::memset(view.Get(), 0, cleared);

    name_ = name;
    mapping_ = std::move(mapping);
    mutex_ = std::move(mutex);
    view_ = std::move(view);
    viewSize_ = mapped;
    open_ = 1;
    return 0;
}

DWORD CShareMemory::Read(void* destination, std::size_t length, std::size_t offset, DWORD lockWaitMs)
{
    if (!open_) return ERROR_INVALID_HANDLE;
    if (offset > viewSize_ || length > viewSize_ - offset) return ERROR_INVALID_PARAMETER;

    const DWORD waited = WaitForSingleObject(mutex_.Get(), lockWaitMs);
    if (waited != WAIT_OBJECT_0) {
        // The service ended while holding the lock; we own it now and must
        // not keep it, or the service could never write again.
        if (waited == WAIT_ABANDONED) ReleaseMutex(mutex_.Get());
        return waited;
    }
    unsigned char* at = static_cast<unsigned char*>(view_.Get()) + offset;
    std::memcpy(destination, at, length);
    std::memset(at, 0, length);
    ReleaseMutex(mutex_.Get());
    return 0;
}

void CShareMemory::Close()
{
    if (!open_) return;
    name_.clear();
    view_.Reset();
    mapping_.Reset();
    mutex_.Reset();
    viewSize_ = 0;
    open_ = 0;
}

} // namespace brelvin
