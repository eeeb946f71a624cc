// Every code other programs see is in docs/INTEGRATION.md, on a line that
// names the message it rides on: an integrator writes a client from that
// document, not from the source.
#include "common/BoardCodes.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> DocumentLines()
{
    std::ifstream in(std::string(BRELVIN_SOURCE_DIR) + "/docs/INTEGRATION.md");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// `value` as a number of its own on `line`: not part of a longer number.
bool HasNumber(const std::string& line, long long value)
{
    const std::string digits = std::to_string(value);
    for (std::size_t at = line.find(digits); at != std::string::npos; at = line.find(digits, at + 1)) {
        const bool digitBefore = at > 0 && std::isdigit(static_cast<unsigned char>(line[at - 1]));
        const bool letterBefore = at > 0 && (line[at - 1] == 'x' || line[at - 1] == 'X');
        const std::size_t end = at + digits.size();
        const bool digitAfter = end < line.size() && std::isdigit(static_cast<unsigned char>(line[end]));
        if (!digitBefore && !letterBefore && !digitAfter) return true;
    }
    return false;
}

bool Listed(const std::vector<std::string>& lines, const std::string& message, long long value)
{
    for (const std::string& line : lines) {
        if (line.find(message) != std::string::npos && HasNumber(line, value)) return true;
    }
    return false;
}

TEST(BoardCodesDocument, EveryCodeIsListedWithItsMessage)
{
    const std::vector<std::string> lines = DocumentLines();
    ASSERT_GT(lines.size(), 50u) << "docs/INTEGRATION.md not found";
    for (const code::Listed& listed : code::kSingleCodes) {
        EXPECT_TRUE(Listed(lines, listed.message, listed.value)) << listed.message << " " << listed.value;
    }
    for (int command : code::kKeyCommands) {
        if (command != 0) EXPECT_TRUE(Listed(lines, "WM_BOARD_EVENT", command)) << "key command " << command;
    }
    for (int once : code::kCountedOnce) EXPECT_TRUE(Listed(lines, "WM_BOARD_EVENT", once)) << "counted " << once;
    for (int more : code::kCountedMore) EXPECT_TRUE(Listed(lines, "WM_BOARD_EVENT", more)) << "counted " << more;
    for (int action : code::kPenActions) EXPECT_TRUE(Listed(lines, "pen action", action)) << "action " << action;
}

TEST(BoardCodesDocument, TheCheckTellsANumberFromPartsOfOthers)
{
    EXPECT_TRUE(HasNumber("| 17, 18 |", 18));
    EXPECT_FALSE(HasNumber("| 2321 |", 232));
    EXPECT_FALSE(HasNumber("| 0x0119 |", 119));
    EXPECT_FALSE(HasNumber("| 1002 |", 100));
}

} // namespace
