#pragma once
// The settings file's whole-or-nothing write on the system's files: paths
// in UTF-8, handed to the wide file functions, so that a user folder of any
// name works. The temporary file is flushed to the disk before it replaces
// the target in one move (calibration/WholeFileWriter.h).
#include "calibration/WholeFileWriter.h"

namespace kalmeno {

class Win32FileAccess final : public calibration::FileAccess {
public:
    bool ReadWhole(const std::string& path, std::string& content) override;
    bool WriteFlushed(const std::string& path, std::string_view content) override;
    bool MoveOver(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
};

} // namespace kalmeno
