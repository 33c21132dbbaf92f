// File access of the editor in plain POSIX: reading only regular files, the write probe that
// honours the controller's lock on its loaded program, and writes that replace a file whole.
#pragma once

#include <string>
#include <string_view>

namespace tavrel {

// Reads a whole regular file. 0; -1 when it cannot be opened or is not a regular file (a FIFO,
// a device or a folder is never read, so a dropped /dev/zero cannot hang the editor); -2 when
// reading fails.
int readRegularFile(const std::string& path, std::string& out);

// Whether the file may be written now: 0 when no one holds it or it does not exist yet, -1 when
// a reader or writer holds a lock on it (the controller keeps a read lock on the program it has
// loaded), -2 when it cannot be opened for writing. `reason` receives the system's text for -2.
// The probe neither creates nor changes the file.
int probeWriteAccess(const std::string& path, std::string* reason = nullptr);

// Writes `content` into a temporary file in the target's folder and renames it over the target,
// so a failed write leaves the old file whole. An existing target keeps its permission bits.
// 0, or -1 with the system's text in `reason`.
int replaceFileContent(const std::string& path, std::string_view content, std::string& reason);

// The name part of a path ("dir/a.iso" gives "a.iso").
std::string fileNameOf(const std::string& path);
// Whether the file name of `path` ends in `suffix`, ignoring letter case.
bool fileNameEndsWith(const std::string& path, std::string_view suffix);

}  // namespace tavrel
