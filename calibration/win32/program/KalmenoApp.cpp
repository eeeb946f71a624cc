// Kalmeno.exe, the suite's calibration program. Command line: see
// calibration/ProgramOptions.h. Exit code: ExitCode in KalmenoWindow.h.
#include "KalmenoWindow.h"
#include "ProgramTexts.h"

#include "BoardMonitorQuery.h"
#include "CalibrationWindowEvents.h"
#include "CaptureGraph.h"

#include "common/NamedMutexTurn.h"
#include "common/TextEncoding.h"
#include "common/TimerCallbackGuard.h"
#include "common/Win32System.h"

namespace kalmeno {
namespace {

// One calibration at a time: two would take turns at the driver's one pipe.
constexpr const char* kOneRunMutex = "BrelvinKalmenoRun";
// A run that is closing (its last screen touched, say) as the next starts.
constexpr DWORD kEarlierRunWaitMs = 3000;

// The automatic calibration is offered where a listed camera is plugged in;
// looking for one does not take it from the camera service.
bool ListedCameraPresent()
{
    const bool com = SUCCEEDED(CoInitialize(nullptr));
    const bool present = camview::CountListedCameras() > 0;
    if (com) CoUninitialize();
    return present;
}

class CKalmenoApp {
public:
    explicit CKalmenoApp(HINSTANCE instance)
        : instance_(instance)
    {}

    int InitInstance(const wchar_t* commandLine)
    {
        // Any program may post a timer message naming code to run here.
        const common::TimerCallbackGuard timers;
        const common::NamedMutexTurn run(kOneRunMutex, kEarlierRunWaitMs);
        if (!run.Held()) {
            // The teacher asked for the calibration that is running already.
            if (const HWND other = FindWindowA(calibration::kCalibrationWindowClass, nullptr))
                SetForegroundWindow(other);
            return static_cast<int>(ExitCode::Cancelled);
        }
        WindowSetup setup;
        setup.options = calibration::ParseProgramOptions(calibration::SplitArguments(common::Utf8(commandLine)));
        if (!setup.options.unknown.empty()) NoteUnknownSwitches(setup.options.unknown);
        setup.settingsPath = common::Utf8(common::LocateSettingsFileW());
        setup.perUserCopy = common::IsUserAdmin() == 0;
        setup.monitor = calibration::BoardMonitorQuery().Ask().rect;
        setup.texts = LoadProgramTexts();
        const bool cameraWanted = !setup.options.checkOnly && !setup.options.touchOnly;
        setup.cameraOffered = cameraWanted && ListedCameraPresent();
        KalmenoWindow window(instance_, std::move(setup));
        return static_cast<int>(window.Run());
    }

private:
    static void NoteUnknownSwitches(const std::vector<std::string>& unknown)
    {
        std::string line = "Command line: left out what is not a switch of Kalmeno:";
        for (const std::string& word : unknown) line += " " + word;
        common::SupportLogFile(common::SupportLogFile::DefaultPath(), "Kalmeno").Append({common::CodePageFromUtf8(line)});
    }

    HINSTANCE instance_;
};

} // namespace
} // namespace kalmeno

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    kalmeno::CKalmenoApp app(instance);
    return app.InitInstance(commandLine ? commandLine : L"");
}
