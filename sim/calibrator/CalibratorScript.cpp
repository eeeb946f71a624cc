#include "CalibratorScript.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace sim {
namespace {

constexpr long kMostRepeats = 1000;

struct Block {
    long times = 1;
    std::vector<CalibratorCommand> commands;
};

bool ReadNumber(std::istringstream& words, long& value)
{
    std::string word;
    if (!(words >> word) || word.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(word.c_str(), &end, 10);
    return errno == 0 && end == word.c_str() + word.size();
}

// Whether `name` names a file in the own folder and nothing else.
bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\\/:") == std::string::npos && name != "." && name != "..";
}

std::optional<CalibratorCommand> ParseCommand(const std::string& verb, std::istringstream& words, std::string& error)
{
    CalibratorCommand command;
    if (verb == "start") {
        command.step = CalibratorStep::Start;
        if (!ReadNumber(words, command.value)) error = "start needs the lParam";
    } else if (verb == "records" || verb == "nonzero") {
        command.step = verb == "records" ? CalibratorStep::Records : CalibratorStep::NonZero;
        if (!ReadNumber(words, command.value) || command.value < 1) error = verb + " needs a count of at least 1";
    } else if (verb == "wait" || verb == "settings") {
        command.step = verb == "wait" ? CalibratorStep::Wait : CalibratorStep::Settings;
        if (!(words >> command.name) || !IsPlainFileName(command.name)) error = verb + " needs a file name";
    } else if (verb == "stall" || verb == "resume") {
        command.step = verb == "stall" ? CalibratorStep::Stall : CalibratorStep::Resume;
    } else if (verb == "end") {
        command.step = CalibratorStep::End;
        if (!ReadNumber(words, command.value) || !ReadNumber(words, command.second))
            error = "end needs wParam and lParam";
    } else {
        error = "unknown command " + verb;
    }
    std::string extra;
    if (error.empty() && (words >> extra)) error = "too many words";
    if (!error.empty()) return std::nullopt;
    return command;
}

// Runs must open before they read and close before the next opens.
std::string CheckRunOrder(const std::vector<CalibratorCommand>& commands, int& line)
{
    bool inRun = false;
    for (const CalibratorCommand& command : commands) {
        line = command.line;
        switch (command.step) {
        case CalibratorStep::Start:
            if (inRun) return "start inside a run";
            inRun = true;
            break;
        case CalibratorStep::Records:
        case CalibratorStep::NonZero:
            if (!inRun) return "reading outside a run";
            break;
        case CalibratorStep::Stall:
        case CalibratorStep::Resume:
            if (!inRun) return "stall outside a run";
            break;
        case CalibratorStep::End:
            if (!inRun) return "end without start";
            inRun = false;
            break;
        case CalibratorStep::Wait:
        case CalibratorStep::Settings: break;
        }
    }
    return {};
}

} // namespace

CalibratorScript ParseCalibratorScript(const std::string& text)
{
    CalibratorScript script;
    auto fail = [&script](int line, const std::string& what) {
        script.commands.clear();
        script.error = what;
        script.errorLine = line;
        return script;
    };

    Block outer;
    std::optional<Block> inner;
    int repeatLine = 0;
    std::istringstream lines(text);
    std::string raw;
    int lineNumber = 0;
    while (std::getline(lines, raw)) {
        ++lineNumber;
        const std::size_t comment = raw.find('#');
        std::istringstream words(raw.substr(0, comment));
        std::string verb;
        if (!(words >> verb)) continue;
        if (verb == "repeat") {
            if (inner) return fail(lineNumber, "repeat inside repeat");
            Block block;
            std::string extra;
            if (!ReadNumber(words, block.times) || block.times < 1 || block.times > kMostRepeats || (words >> extra))
                return fail(lineNumber, "repeat needs a count of 1 to 1000");
            inner = std::move(block);
            repeatLine = lineNumber;
            continue;
        }
        if (verb == "done") {
            if (!inner) return fail(lineNumber, "done without repeat");
            for (long i = 0; i < inner->times; ++i)
                outer.commands.insert(outer.commands.end(), inner->commands.begin(), inner->commands.end());
            inner.reset();
            continue;
        }
        std::string error;
        std::optional<CalibratorCommand> command = ParseCommand(verb, words, error);
        if (!command) return fail(lineNumber, error);
        command->line = lineNumber;
        (inner ? inner->commands : outer.commands).push_back(*command);
    }
    if (inner) return fail(repeatLine, "repeat without done");
    int orderLine = 0;
    const std::string orderError = CheckRunOrder(outer.commands, orderLine);
    if (!orderError.empty()) return fail(orderLine, orderError);
    script.commands = std::move(outer.commands);
    return script;
}

} // namespace sim
