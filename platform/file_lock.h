// The controller keeps the loaded program "open for reading with writes by others denied": it
// holds an advisory whole-file read lock (an open-file-description lock, so it belongs to this
// open file and not to the process) for as long as the program is loaded. The editor asks
// whether it may write a file before saving; a held read lock makes the answer no.
#pragma once

#include <QString>

namespace korvex {

class ReadLockedFile {
public:
    ReadLockedFile() = default;
    ~ReadLockedFile() { close(); }
    ReadLockedFile(const ReadLockedFile&) = delete;
    ReadLockedFile& operator=(const ReadLockedFile&) = delete;
    ReadLockedFile(ReadLockedFile&& other) noexcept;
    ReadLockedFile& operator=(ReadLockedFile&& other) noexcept;

    // Opens the file for reading and takes the read lock, dropping any file held before.
    // Returns 0; -1 when the file cannot be opened, -2 when someone holds it for writing.
    int open(const QString& path);
    void close();

    bool isOpen() const { return fd_ >= 0; }
    const QString& path() const { return path_; }

private:
    int fd_ = -1;
    QString path_;
};

// Whether the file may be written now: 0 when no one holds it (or it does not exist yet),
// -1 when a reader or writer holds a lock on it, -2 when it cannot be opened for writing.
int probeWriteAccess(const QString& path);

}  // namespace korvex
