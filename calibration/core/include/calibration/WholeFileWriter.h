#pragma once
// Writing the settings file whole or not at all. The driver, the pen-button
// tool and the camera service read it at any moment, and a power cut can
// come at any moment: the new text goes to a temporary file beside the
// target, is flushed to the disk, and only then takes the target's name in
// one move. Whatever step fails, the old file is left byte for byte and no
// temporary file stays behind.
#include <string>
#include <string_view>

namespace calibration {

// The few file operations the write needs; the Windows layer implements
// them over the system's files, tests with a fake.
class FileAccess {
public:
    virtual ~FileAccess() = default;
    // The file's whole content; false when it cannot be read.
    virtual bool ReadWhole(const std::string& path, std::string& content) = 0;
    // Creates or empties `path`, writes `content` and flushes it to the disk;
    // false when any part failed (the file may then hold part of it).
    virtual bool WriteFlushed(const std::string& path, std::string_view content) = 0;
    // Gives `from` the name `to` in one step, replacing the file there.
    virtual bool MoveOver(const std::string& from, const std::string& to) = 0;
    virtual bool Remove(const std::string& path) = 0;
};

enum class WriteOutcome {
    Written,
    NotSound,        // the plan holds nothing to write; nothing was touched
    TemporaryFailed, // the temporary file could not be written whole
    MoveFailed,      // it could not take the target's name
};

const char* Name(WriteOutcome outcome);

// Beside the target, in the same folder, so that the move never crosses
// volumes.
std::string TemporaryPathFor(const std::string& target);

WriteOutcome WriteWholeOrNothing(FileAccess& files, const std::string& target, std::string_view content);

} // namespace calibration
