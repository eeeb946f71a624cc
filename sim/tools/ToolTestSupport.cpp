#include "ToolTestSupport.h"

#include <commctrl.h>

#include <thread>

namespace sim {

namespace {

std::wstring Widen(const char* text)
{
    std::wstring out;
    for (const char* p = text; *p; ++p) out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return out;
}

// A build path from CMake uses forward slashes and may be a Unix path;
// Wine's Z: drive maps the root.
std::wstring WindowsPathOf(const char* builtPath)
{
    std::wstring path = Widen(builtPath);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    if (!path.empty() && path[0] == L'\\') path = L"Z:" + path;
    return path;
}

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\");
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

struct DialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindProcessDialog(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (owner == search->processId && IsWindowVisible(window) && std::wstring(className) == L"#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Memory lent inside another process for the length of one request.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, SIZE_T size) : size_(size)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer()
    {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* Address() const { return address_; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const
    {
        return address_ && offset + size <= size_ &&
               WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const
    {
        return address_ && offset + size <= size_ &&
               ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }

private:
    SIZE_T size_;
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

} // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
}

std::string ReadTextFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

void WriteTextFile(const std::wstring& path, const std::string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ScratchFolder::ScratchFolder()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static LONG serial = 0;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::wstring candidate = std::wstring(temp) + L"tooltest-" + std::to_wstring(GetCurrentProcessId()) +
                                       L"-" + std::to_wstring(InterlockedIncrement(&serial)) + L"\\";
        if (CreateDirectoryW(candidate.c_str(), nullptr)) path_ = candidate;
    }
}

ScratchFolder::~ScratchFolder()
{
    if (!path_.empty()) RemoveTree(path_);
}

bool ScratchFolder::CopyIn(const char* builtPath, const std::wstring& name) const
{
    return CopyFileW(WindowsPathOf(builtPath).c_str(), File(name).c_str(), FALSE) != FALSE;
}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& workingFolder,
                           const std::wstring& arguments)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.c_str(), &startup, &info_))
        info_ = PROCESS_INFORMATION{};
}

ChildProcess::~ChildProcess()
{
    if (!Started()) return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) const
{
    return Started() && WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

bool ChildProcess::Running() const
{
    return Started() && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (!Started() || !GetExitCodeProcess(info_.hProcess, &code)) return STILL_ACTIVE;
    return code;
}

HWND ChildProcess::WaitForDialog(std::chrono::milliseconds timeout) const
{
    DialogSearch search{info_.dwProcessId, nullptr};
    WaitUntil(
        [&search] {
            EnumWindows(&FindProcessDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeout);
    return search.found;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

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
