#pragma once
// Folders and files of the tests and the run job: a fresh folder for one run
// of programs, and the places programs come from.
#include <string>

namespace sim {

enum class FolderLifetime {
    Temporary, // named after the label, the process and a counter; never one that is there; removed at the end
    Kept,      // named after the label alone; emptied first, kept at the end
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

    // Copies the file at `source` in as `name` (which may lie in a subfolder).
    bool CopyIn(const std::string& source, const std::string& name) const;
    bool Write(const std::string& name, const std::string& text) const;
    // The file as it is now; empty when it does not exist.
    std::string Read(const std::string& name) const;
    bool Holds(const std::string& name) const;

private:
    std::string path_;
    FolderLifetime lifetime_;
    bool ok_ = false;
};

// The folder of the running program, with a trailing backslash.
std::string OwnFolder();
// The system's folder for temporary files, with a trailing backslash.
std::string TempFolder();
// A path as the build names it ("/work/build/bin/Penvaro.exe", forward
// slashes and maybe a Unix path) as a Windows path: Wine's Z: drive is the
// Unix root.
std::string BuiltPath(const std::string& buildPath);
// The folder of a file's path, with a trailing backslash; ".\\" for a bare name.
std::string FolderOf(const std::string& path);

} // namespace sim
