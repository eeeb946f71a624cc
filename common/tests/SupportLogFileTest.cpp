// The support log file: lines tagged and stamped, folders made on demand,
// the size kept bounded by moving a full file aside.
#include "common/SupportLogFile.h"
#include "common/UniqueHandle.h"
#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using sim::ReadWholeFile;

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(SupportLogFile, LinesAreStampedTaggedAndAppendedInFoldersMadeOnDemand)
{
    const sim::ScratchFolder folder(sim::TempFolder(), "supportlog-lines");
    const std::string path = folder.File("deeper\\Brelvin.log");
    common::SupportLogFile log(path, "Brelvin");
    ASSERT_TRUE(log.Append({"first", "second"}));
    common::SupportLogFile other(path, "Camvito");
    ASSERT_TRUE(other.Append({"third"}));
    const std::string text = ReadWholeFile(path);
    EXPECT_EQ(Count(text, "\r\n"), 3u);
    EXPECT_NE(text.find(" Brelvin: first\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" Brelvin: second\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" Camvito: third\r\n"), std::string::npos) << text;
    // "YYYY-MM-DD hh:mm:ss.mmm " before the tag.
    EXPECT_EQ(text.find(' '), 10u) << text;
    EXPECT_EQ(text[4], '-');
    EXPECT_EQ(text[13], ':');
}

TEST(SupportLogFile, AFullFileMovesAsideAndTheLogGoesOnInANewOne)
{
    const sim::ScratchFolder folder(sim::TempFolder(), "supportlog-rotate");
    const std::string path = folder.File("Brelvin.log");
    common::SupportLogFile log(path, "Brelvin");
    const std::string line(200, 'x');
    int appended = 0;
    while (ReadWholeFile(common::SupportLogFile::OldPath(path)).empty() && appended < 10000) {
        ASSERT_TRUE(log.Append({line + std::to_string(appended++)}));
    }
    const std::string old = ReadWholeFile(common::SupportLogFile::OldPath(path));
    ASSERT_FALSE(old.empty()) << "the log never moved aside";
    EXPECT_GE(old.size(), common::SupportLogFile::kMaxBytes);
    EXPECT_LT(old.size(), common::SupportLogFile::kMaxBytes + 300);
    // The newest line is in the new file, and nothing was lost at the move.
    const std::string current = ReadWholeFile(path);
    EXPECT_NE(current.find(line + std::to_string(appended - 1)), std::string::npos);
    EXPECT_EQ(Count(old, "\r\n") + Count(current, "\r\n"), static_cast<std::size_t>(appended));
    // Many more lines: never more than two files' worth.
    for (int n = 0; n < 3000; ++n) ASSERT_TRUE(log.Append({line}));
    EXPECT_LT(ReadWholeFile(path).size(), common::SupportLogFile::kMaxBytes + 300);
}

TEST(SupportLogFile, ProgramsAppendingAtOnceLoseNoLineAndMoveTheFullLogAsideOnce)
{
    // Four programs, as it were, each append one line the moment the log
    // is full. Every line must be kept (appends at the same instant must not
    // overwrite each other), and the log moved aside once: twice would
    // replace the full log with the few lines the new one had just got.
    const sim::ScratchFolder folder(sim::TempFolder(), "supportlog-together");
    const std::string path = folder.File("Brelvin.log");
    const std::string oldPath = common::SupportLogFile::OldPath(path);
    constexpr int kPrograms = 4;
    constexpr int kRounds = 100;
    for (int round = 0; round < kRounds; ++round) {
        const std::string marker = "round " + std::to_string(round) + " full log\r\n";
        std::string full = marker;
        full.resize(common::SupportLogFile::kMaxBytes, 'x');
        ASSERT_TRUE(sim::WriteWholeFile(path, full));
        DeleteFileA(oldPath.c_str());

        const common::UniqueHandle start(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        std::vector<std::thread> programs;
        for (int p = 0; p < kPrograms; ++p) {
            programs.emplace_back([&, p] {
                common::SupportLogFile log(path, "P" + std::to_string(p));
                WaitForSingleObject(start.Get(), INFINITE);
                log.Append({"round " + std::to_string(round)});
            });
        }
        SetEvent(start.Get());
        for (std::thread& program : programs) program.join();

        const std::string old = ReadWholeFile(oldPath);
        ASSERT_EQ(old.compare(0, marker.size(), marker), 0) << "round " << round << ": the full log was lost";
        const std::string both = old + ReadWholeFile(path);
        EXPECT_EQ(Count(both, ": round " + std::to_string(round) + "\r\n"), static_cast<std::size_t>(kPrograms))
            << "round " << round;
    }
}

TEST(SupportLogFile, OldPathKeepsTheExtensionAndDefaultsToLocalApplicationData)
{
    EXPECT_EQ(common::SupportLogFile::OldPath("C:\\a.b\\Brelvin.log"), "C:\\a.b\\Brelvin.old.log");
    EXPECT_EQ(common::SupportLogFile::OldPath("C:\\a.b\\log"), "C:\\a.b\\log.old");
    const std::string path = common::SupportLogFile::DefaultPath();
    EXPECT_NE(path.find("\\CvSoftware\\Drivers\\Brelvin.log"), std::string::npos) << path;
}

TEST(SupportLogFile, AnUnwritablePlaceFailsQuietly)
{
    common::SupportLogFile nowhere("", "Brelvin");
    EXPECT_FALSE(nowhere.Append({"line"}));
    const sim::ScratchFolder folder(sim::TempFolder(), "supportlog-empty");
    common::SupportLogFile noLines(folder.File("Brelvin.log"), "Brelvin");
    EXPECT_FALSE(noLines.Append({}));
}

} // namespace
