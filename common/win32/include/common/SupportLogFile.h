#pragma once
// The support log: a small text file in the user's local application data
// where the suite's programs note the faults around them (a peer that did
// not answer, a program missing from the program folder, a forwarding run
// that ended on its own). The programs run without a window anyone looks at;
// this file is what a school's IT staff can read afterwards.
//
// Several programs of one user append to the same file, taking turns (a
// lock of the user's session, waited for at most a second), so that no
// program's line overwrites another's. It never grows much past kMaxBytes:
// the full file becomes the ".old" file (replacing an older one) and a new
// file starts. When several programs find the file full at once, the first
// moves it, whole, and the others go on in the new file.
#include <string>
#include <vector>

namespace common {

class SupportLogFile {
public:
    static constexpr unsigned long kMaxBytes = 256 * 1024;

    // `program` tags every line ("Brelvin", "Camvito").
    SupportLogFile(std::string path, std::string program);

    // "<local application data>\CvSoftware\Drivers\Brelvin.log"; empty when
    // the system names no such folder.
    static std::string DefaultPath();
    // The file the full log moves to.
    static std::string OldPath(const std::string& path);

    const std::string& Path() const { return path_; }

    // Appends the lines, each after the local time and the program's tag,
    // making the folders first. False when nothing could be written.
    bool Append(const std::vector<std::string>& lines);

private:
    void MakeRoom();

    std::string path_;
    std::string program_;
};

} // namespace common
