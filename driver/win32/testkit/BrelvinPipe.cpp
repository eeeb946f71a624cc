#include "BrelvinPipe.h"

#include "ByteCount.h"

namespace brelvin {

bool CBrelvinPipe::Open(int mode, const char* address)
{
    pipe_.Reset();
    if (!address) return false;
    switch (mode) {
    case kClient: return OpenClient(address);
    case kServer: return CreateAndAwaitClient(address);
    default: return false;
    }
}

bool CBrelvinPipe::OpenClient(const char* name)
{
    HANDLE pipe =
        CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return false;
    pipe_.Reset(pipe);
    return true;
}

bool CBrelvinPipe::CreateAndAwaitClient(const char* name)
{
    HANDLE created = CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                                      kMaxInstances, 0, 0, kDefaultTimeoutMs, nullptr);
    if (created == INVALID_HANDLE_VALUE) return false;
    common::UniqueHandle pipe(created);
    // A client may have connected between creation and the wait.
    if (!ConnectNamedPipe(pipe.Get(), nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) return false;
    pipe_ = std::move(pipe);
    return true;
}

bool CBrelvinPipe::Write(const std::uint8_t* data, std::size_t length)
{
    if (!pipe_ || (!data && length != 0) || !FitsInDword(length)) return false;
    DWORD written = 0;
    return WriteFile(pipe_.Get(), data, static_cast<DWORD>(length), &written, nullptr) && written == length;
}

int CBrelvinPipe::Read(std::uint8_t* buffer, int size)
{
    if (!pipe_ || !buffer || size <= 0) return 0;
    DWORD read = 0;
    if (!ReadFile(pipe_.Get(), buffer, static_cast<DWORD>(size), &read, nullptr)) return 0;
    return static_cast<int>(read);
}

} // namespace brelvin
