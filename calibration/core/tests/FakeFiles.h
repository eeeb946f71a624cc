#pragma once
// Files in memory, with the failures a disk has: a write that gives out
// after some bytes (a full disk, a pulled stick, a power cut) and a move
// that fails (the file held open by another program).
#include "calibration/WholeFileWriter.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace calibration_testing {

class FakeFiles final : public calibration::FileAccess {
public:
    bool ReadWhole(const std::string& path, std::string& content) override
    {
        const auto it = files.find(path);
        if (it == files.end()) return false;
        content = it->second;
        return true;
    }

    bool WriteFlushed(const std::string& path, std::string_view content) override
    {
        calls.push_back("write " + path);
        if (writeGivesOutAfter && *writeGivesOutAfter < content.size()) {
            files[path] = std::string(content.substr(0, *writeGivesOutAfter));
            return false;
        }
        files[path] = std::string(content);
        return true;
    }

    bool MoveOver(const std::string& from, const std::string& to) override
    {
        calls.push_back("move " + from + " " + to);
        const auto it = files.find(from);
        if (moveFails || it == files.end()) return false;
        files[to] = it->second;
        files.erase(from);
        return true;
    }

    bool Remove(const std::string& path) override
    {
        calls.push_back("remove " + path);
        return files.erase(path) > 0;
    }

    std::map<std::string, std::string> files;
    std::vector<std::string> calls;
    std::optional<std::size_t> writeGivesOutAfter;
    bool moveFails = false;
};

} // namespace calibration_testing
