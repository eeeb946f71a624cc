#include "sim/RemoteComboBox.h"

#include "common/UniqueHandle.h"

#include <commctrl.h>

namespace sim {
namespace {

// Memory lent inside another process for the length of one request.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, SIZE_T size)
        : size_(size)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_.Reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        if (process_)
            address_ = VirtualAllocEx(process_.Get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer()
    {
        if (address_) VirtualFreeEx(process_.Get(), address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* Address() const { return address_; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const
    {
        return address_ && offset + size <= size_ &&
               WriteProcessMemory(process_.Get(), static_cast<char*>(address_) + offset, data, size, nullptr);
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const
    {
        return address_ && offset + size <= size_ &&
               ReadProcessMemory(process_.Get(), static_cast<char*>(address_) + offset, data, size, nullptr);
    }

private:
    SIZE_T size_;
    common::UniqueHandle process_;
    void* address_ = nullptr;
};

} // namespace

ImageComboItem ReadImageComboItem(HWND comboBoxEx, int index)
{
    constexpr int kTextChars = 260;
    RemoteBuffer remote(comboBoxEx, sizeof(COMBOBOXEXITEMW) + kTextChars * sizeof(wchar_t));
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = index;
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.Address()) + sizeof(item));
    item.cchTextMax = kTextChars;
    const wchar_t empty = 0;
    ImageComboItem result;
    if (!remote.Write(0, &item, sizeof(item)) || !remote.Write(sizeof(item), &empty, sizeof(empty))) return result;
    if (!SendMessageW(comboBoxEx, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.Address()))) return result;
    wchar_t text[kTextChars] = {};
    if (!remote.Read(0, &item, sizeof(item)) || !remote.Read(sizeof(item), text, sizeof(text))) return result;
    text[kTextChars - 1] = 0;
    result.read = true;
    result.text = text;
    result.image = item.iImage;
    result.selectedImage = item.iSelectedImage;
    return result;
}

} // namespace sim
