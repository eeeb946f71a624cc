#pragma once
// A fresh folder for one run of the driver and its stand-ins.
#include <string>

namespace sim {

enum class FolderLifetime {
    Temporary,  // named after the label, the process and a counter; removed at the end
    Kept,       // named after the label alone; emptied first, kept at the end
};

class ScratchFolder {
public:
    // Made under `parent` (with a trailing backslash).
    ScratchFolder(const std::string& parent, const std::string& label,
                  FolderLifetime lifetime = FolderLifetime::Temporary);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool Ok() const { return ok_; }
    // With a trailing backslash.
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

    bool CopyIn(const std::string& source, const std::string& name) const;
    bool Write(const std::string& name, const std::string& text) const;

private:
    std::string path_;
    FolderLifetime lifetime_;
    bool ok_ = false;
};

// The folder of the running program, with a trailing backslash.
std::string OwnFolder();

} // namespace sim
