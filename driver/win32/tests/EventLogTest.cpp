// The event source as Event Viewer and a log query see it: Brelvin.exe's
// message table holds every documented ID with its English text and
// inserts, and the writer's calls go through.
#include "common/AdminEvents.h"
#include "common/EventLogSource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace {

// The documented texts, each with its inserts written as <1>, <2>, <3>.
const std::map<unsigned, std::wstring> kDocumentedTexts = {
    {1000, L"The board driver Brelvin <1> started. Settings file: <2>. Options in force: <3>"},
    {1001, L"The calibration in WBInit.ini could not be used as measured: <1>. Calibrate the board again."},
    {1010, L"The board camera was connected: <1>."},
    {1011, L"The board camera was disconnected: <1>. The board sees no touches until it is connected again."},
    {1020, L"The double-tap helper's mouse hook could not be installed; double taps on the board get no help."},
    {1030, L"A policy sets options of the board driver, winning over WBInit.ini: <1>."},
    {1031, L"No policy sets an option of the board driver any more; WBInit.ini decides them all."},
    {1040, L"A calibration of the board was saved to <1>."},
    {1041, L"The board's calibration was checked: verdict <1>, largest error <2> pixels, checked <3>. A verdict of "
           L"recalibrate asks for a new calibration."},
    {1090, L"<1> further events with ID <2> were not written within <3> minutes of the first, so that a repeating "
           L"fault does not fill this log."},
};

// Brelvin.exe beside this test program, loaded the way Event Viewer loads a
// message file: as data, nothing of it run.
class MessageFile {
public:
    MessageFile()
    {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring folder(path);
        folder.erase(folder.find_last_of(L'\\') + 1);
        module_ = LoadLibraryExW((folder + L"Brelvin.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~MessageFile()
    {
        if (module_) FreeLibrary(module_);
    }
    MessageFile(const MessageFile&) = delete;
    MessageFile& operator=(const MessageFile&) = delete;

    HMODULE Module() const { return module_; }

    // The message's text with `inserts`, line ends taken off; empty when
    // the table has no such message.
    std::wstring Format(unsigned id, const std::vector<std::wstring>& inserts) const
    {
        std::vector<DWORD_PTR> arguments;
        for (const std::wstring& insert : inserts) arguments.push_back(reinterpret_cast<DWORD_PTR>(insert.c_str()));
        arguments.resize(9, reinterpret_cast<DWORD_PTR>(L"(too many inserts)"));
        wchar_t* text = nullptr;
        const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                                FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                            module_, id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                            reinterpret_cast<LPWSTR>(&text), 0,
                                            reinterpret_cast<va_list*>(arguments.data()));
        if (length == 0 || text == nullptr) return std::wstring();
        std::wstring message(text, length);
        LocalFree(text);
        while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
        return message;
    }

private:
    HMODULE module_ = nullptr;
};

TEST(EventMessageFile, HoldsEveryDocumentedIdWithItsTextAndInserts)
{
    const MessageFile file;
    ASSERT_NE(file.Module(), nullptr) << "Brelvin.exe beside the test, error " << GetLastError();
    ASSERT_EQ(kDocumentedTexts.size(), std::size(common::kEventKinds));
    for (const common::EventKind& kind : common::kEventKinds) {
        const unsigned id = static_cast<unsigned>(kind.id);
        std::vector<std::wstring> inserts;
        for (unsigned n = 1; n <= kind.inserts; ++n) inserts.push_back(L"<" + std::to_wstring(n) + L">");
        const auto documented = kDocumentedTexts.find(id);
        ASSERT_NE(documented, kDocumentedTexts.end()) << id;
        // Exactly as many inserts as the event gives: one more would show
        // the filler, one fewer would leave <n> out of the text.
        EXPECT_EQ(file.Format(id, inserts), documented->second) << id;
    }
    EXPECT_EQ(file.Format(999, {}), L"") << "no message beyond the table";
}

TEST(EventLogSource, WritesEveryTypeAndAOneOffEvent)
{
    common::EventLogSource source;
    EXPECT_TRUE(source.Write(common::CameraArrivedEvent("\\\\?\\USB#VID_1234&PID_0B0A#1")));
    EXPECT_TRUE(source.Write(common::CameraLeftEvent("\\\\?\\USB#VID_1234&PID_0B0A#1")));
    EXPECT_TRUE(source.Write(common::MouseHookNotInstalledEvent()));
    EXPECT_EQ(source.Written(), 3u);
    EXPECT_EQ(source.Refused(), 0u) << "system error " << source.LastRefusal();
    EXPECT_TRUE(common::ReportAdminEvent(common::CalibrationSavedEvent("C:\\Program Files\\WBInit.ini")));
}

TEST(EventLogSource, LevelsBecomeTheSystemsEventTypes)
{
    EXPECT_EQ(common::EventTypeOf(common::EventLevel::Information), EVENTLOG_INFORMATION_TYPE);
    EXPECT_EQ(common::EventTypeOf(common::EventLevel::Warning), EVENTLOG_WARNING_TYPE);
    EXPECT_EQ(common::EventTypeOf(common::EventLevel::Error), EVENTLOG_ERROR_TYPE);
}

} // namespace
