// Section [Display]: which monitor the board is on, as the settings name it
// and as the desktop has it.
#include "common/DisplaySettings.h"
#include "common/IniDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace common {
namespace {

class TextProfile final : public Profile {
public:
    explicit TextProfile(const std::string& text)
        : document_(text)
    {}
    int ReadInt(const std::string&, const std::string&, int fallback) const override { return fallback; }
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override
    {
        return document_.Find(section, key, kProfileBufferChars).value_or(fallback);
    }
    void WriteString(const std::string&, const std::string&, const std::string&) override {}

private:
    IniDocument document_;
};

MonitorInfo Monitor(const char* name, int left, int top, int width, int height, bool primary = false)
{
    const PixelRect rect{left, top, left + width, top + height};
    return {name, rect, rect, primary};
}

// A laptop panel as the primary screen, with a monitor left of it (negative
// x), a projector right of it and a smaller screen above.
DisplayLayout Classroom()
{
    DisplayLayout layout;
    layout.monitors = {Monitor("\\\\.\\DISPLAY3", 1366, 0, 1920, 1080),
                       Monitor("\\\\.\\DISPLAY1", 0, 0, 1366, 768, true),
                       Monitor("\\\\.\\DISPLAY2", -1280, 0, 1280, 1024), Monitor("\\\\.\\DISPLAY4", 0, -600, 800, 600)};
    layout.virtualScreen = {-1280, -600, 3286, 1080};
    layout.physicalVirtualScreen = layout.virtualScreen;
    return layout;
}

std::string Chosen(const DisplayLayout& layout, const std::string& value)
{
    const MonitorInfo* monitor = ChooseMonitor(layout, ParseMonitorChoice(value));
    return monitor ? monitor->deviceName : "(none)";
}

TEST(DisplaySettings, EachValueChoosesItsMonitorAndAMissingOneNone)
{
    const DisplayLayout layout = Classroom();
    EXPECT_EQ(Chosen(layout, ""), "\\\\.\\DISPLAY1");
    EXPECT_EQ(Chosen(layout, "Primary"), "\\\\.\\DISPLAY1");
    // Left to right, then top to bottom: the monitor left of the primary.
    EXPECT_EQ(Chosen(layout, " SECONDARY "), "\\\\.\\DISPLAY2");
    EXPECT_EQ(Chosen(layout, "largest"), "\\\\.\\DISPLAY3");
    EXPECT_EQ(Chosen(layout, "\\\\.\\display4"), "\\\\.\\DISPLAY4");
    EXPECT_EQ(Chosen(layout, "\\\\.\\DISPLAY9"), "(none)");

    const DisplayLayout alone = SingleMonitorLayout(1024, 768);
    EXPECT_EQ(Chosen(alone, "secondary"), "(none)");
    EXPECT_EQ(Chosen(alone, "largest"), "(none)");

    // Each word the options table allows means a monitor here.
    std::string_view words = options::kMonitor.choices;
    while (!words.empty()) {
        const std::size_t bar = std::min(words.find('|'), words.size());
        const std::string word(words.substr(0, bar));
        const DisplaySettings parsed = ParseMonitorChoice(word);
        EXPECT_EQ(parsed.Text(), word);
        EXPECT_NE(parsed.choice, DisplaySettings::Choice::Device) << word;
        words.remove_prefix(std::min(bar + 1, words.size()));
    }

    const DisplaySettings unknown = ParseMonitorChoice("projector");
    EXPECT_TRUE(unknown.IsDefault());
    EXPECT_EQ(unknown.unknownValue, "projector");
    EXPECT_EQ(ParseMonitorChoice("\\\\.\\").unknownValue, "\\\\.\\");
}

TEST(DisplaySettings, AUsersCopyWithoutTheKeyReadsTheProgramFoldersCopy)
{
    const TextProfile withKey("[Display]\nMONITOR=largest\n");
    const TextProfile without("[Multitouch]\nTUIO=1\n");
    const TextProfile programFolder("[Display]\nMONITOR=secondary\n");
    const PolicyValues none;

    EXPECT_EQ(ReadDisplaySettings({withKey, programFolder, none}).Text(), "largest");
    const DisplaySettings fromProgramFolder = ReadDisplaySettings({without, programFolder, none});
    EXPECT_EQ(fromProgramFolder.Text(), "secondary");
    EXPECT_TRUE(fromProgramFolder.fromProgramFolder);
    // An administrator reads the program folder's copy itself.
    EXPECT_EQ(ReadDisplaySettings({without, without, none}).Text(), "primary");
    EXPECT_FALSE(ReadDisplaySettings({without, without, none}).fromProgramFolder);
}

} // namespace
} // namespace common
