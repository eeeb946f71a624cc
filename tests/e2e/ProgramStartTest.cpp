// Programs the driver starts come from its own folder or not at all: the
// shell, given a bare name, would look for a same-named program elsewhere
// (the search path) and start whatever it finds there.
#include "DriverRun.h"

#include "common/Messages.h"
#include "common/SupportLogFile.h"
#include "sim/LineLog.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <string>

namespace e2e {
namespace {

// Lines added to the support log since `from` bytes.
std::string SupportLogSince(std::size_t from)
{
    const std::string text = sim::ReadWholeFile(common::SupportLogFile::DefaultPath());
    return text.size() > from ? text.substr(from) : std::string();
}

// Puts `folder` first on the search path of the programs this test starts,
// and takes it off again.
class SearchPathFirst {
public:
    explicit SearchPathFirst(const std::string& folder)
    {
        char old[32768] = {};
        GetEnvironmentVariableA("PATH", old, sizeof old);
        old_ = old;
        SetEnvironmentVariableA("PATH", (folder + ";" + old_).c_str());
    }
    ~SearchPathFirst() { SetEnvironmentVariableA("PATH", old_.c_str()); }

private:
    std::string old_;
};

using ProgramStart = DriverRun;

TEST_F(ProgramStart, AMissingCameraServiceIsNotTakenFromTheSearchPath)
{
    const std::string settings = sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini");
    ASSERT_TRUE(rig_.Prepare(std::string(), settings)) << rig_.Problem();
    // The camera service is not beside the driver, but a program of that
    // name lies on the search path.
    const std::string elsewhere = rig_.File("elsewhere\\");
    ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(
        MoveFileA(rig_.File(wnd::kCameraServiceProgram).c_str(), (elsewhere + wnd::kCameraServiceProgram).c_str()));
    const std::size_t logBefore = sim::ReadWholeFile(common::SupportLogFile::DefaultPath()).size();
    {
        SearchPathFirst path(elsewhere);
        ASSERT_TRUE(rig_.StartRecorder()) << rig_.Problem();
        ASSERT_TRUE(rig_.StartDrawingApp()) << rig_.Problem();
        ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();
    }
    const std::string missing = std::string(wnd::kCameraServiceProgram) + " is missing from " + rig_.Folder().Path();
    ASSERT_TRUE(sim::WaitUntil([&] { return SupportLogSince(logBefore).find(missing) != std::string::npos; }, kWaitMs))
        << "support log since the start:\n"
        << SupportLogSince(logBefore);
    EXPECT_EQ(FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption), nullptr)
        << "the driver started a camera service from elsewhere";

    // Once the camera service is in its place, the board works.
    ASSERT_TRUE(CopyFileA((elsewhere + wnd::kCameraServiceProgram).c_str(),
                          rig_.File(wnd::kCameraServiceProgram).c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(PlayScript("down 1600 1200\nhold 1600 1200 3\nup 1600 1200\n"));
    const auto events =
        WaitForEvents([](const std::vector<sim::MouseEvent>& e) { return ButtonSequence(e) == "ldown lup"; });
    ASSERT_EQ(ButtonSequence(events), "ldown lup") << Describe(events);
    for (const sim::MouseEvent& event : events) {
        if (event.kind == sim::MouseKind::LeftDown) {
            EXPECT_TRUE(Near(event, ScreenX(1600), ScreenY(1200)));
        }
    }
}

// Board key 12 of e2e-keys-WBInit.ini, touched once: camera (2810, 2080).
const std::string kCalibrationKeyTouch = "down 2810 2080\nhold 2810 2080 2\nup 2810 2080\n";

TEST_F(ProgramStart, TheCalibrationKeyStartsTheSuitesProgramWhereTheCameraSoftwaresIsMissingAndSaysWhenNeitherIs)
{
    const std::string settings = sim::ReadWholeFile(sim::OwnFolder() + "e2e-keys-WBInit.ini");
    ASSERT_TRUE(rig_.Prepare(std::string(), settings)) << rig_.Problem();
    // The stand-in notes each start in <its name>.log.
    ASSERT_TRUE(rig_.Folder().CopyIn(sim::BuiltPath(SIM_CALIBRATION_PROGRAM_EXE), wnd::kOwnCalibrationProgram));
    ASSERT_FALSE(rig_.Folder().Holds(wnd::kCalibrationProgram));
    ASSERT_TRUE(rig_.StartRecorder()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDrawingApp()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();
    PostToDriver(msg::kSetUseKey, 1, 1);

    ASSERT_NO_FATAL_FAILURE(PlayScript(kCalibrationKeyTouch));
    std::string folder = rig_.Folder().Path();
    folder.pop_back();
    EXPECT_TRUE(WaitForLine("Kalmeno.log", "ran " + folder)) << Log("Kalmeno.log");

    // Neither program there: nothing starts, and the support log says why.
    const std::size_t logBefore = sim::ReadWholeFile(common::SupportLogFile::DefaultPath()).size();
    // The stand-in notes its start before it ends; its file can go once it has ended.
    ASSERT_TRUE(
        sim::WaitUntil([&] { return DeleteFileA(rig_.File(wnd::kOwnCalibrationProgram).c_str()) != 0; }, kWaitMs));
    ASSERT_NO_FATAL_FAILURE(PlayScript(kCalibrationKeyTouch));
    const std::string line = "Board key 12: neither Radozi.exe nor Kalmeno.exe is in " + rig_.Folder().Path();
    EXPECT_TRUE(sim::WaitUntil([&] { return SupportLogSince(logBefore).find(line) != std::string::npos; }, kWaitMs))
        << SupportLogSince(logBefore);
    EXPECT_EQ(LinesStartingWith("Kalmeno.log", "ran ").size(), 1u);
    EXPECT_EQ(LeftPresses(InjectedEvents(rig_.MouseEvents())), 0u) << "a key press became a mouse press";
}

} // namespace
} // namespace e2e
