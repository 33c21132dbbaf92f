// The controller keeps the loaded program "open for reading with writes by others denied": it
// holds an advisory whole-file read lock (an open-file-description lock, so it belongs to this
// open file and not to the process) for as long as the program is loaded. The editor asks
// whether it may write a file before saving; a held read lock makes the answer no.
//
// Only regular files are opened, and without waiting: a FIFO named as a program would otherwise
// hold the controller (or the probe) in its open for ever.
#pragma once

#include <QString>

namespace korvex {

// Which file a descriptor is open on: two descriptors of the same file compare equal, whatever
// path opened them.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
// The identity of the file `fd` is open on; all zero when it cannot be told.
FileIdentity fileIdentity(int fd);

class ReadLockedFile {
public:
    ReadLockedFile() = default;
    ~ReadLockedFile() { close(); }
    ReadLockedFile(const ReadLockedFile&) = delete;
    ReadLockedFile& operator=(const ReadLockedFile&) = delete;
    ReadLockedFile(ReadLockedFile&& other) noexcept;
    ReadLockedFile& operator=(ReadLockedFile&& other) noexcept;

    // Opens the file for reading and takes the read lock, dropping any file held before.
    // Returns 0; -1 when the file cannot be opened or is not a regular file, -2 when someone
    // holds it for writing.
    int open(const QString& path);
    void close();

    bool isOpen() const { return fd_ >= 0; }
    // The held file's identity (all zero when nothing is held).
    FileIdentity identity() const { return isOpen() ? fileIdentity(fd_) : FileIdentity{}; }
    const QString& path() const { return path_; }

private:
    int fd_ = -1;
    QString path_;
};

// Whether `path` is a regular file that can be opened for reading. Does not wait.
bool isReadableRegularFile(const QString& path);

// Whether the file may be written now: 0 when no one holds it (or it does not exist yet),
// -1 when a reader or writer holds a lock on it, -2 when it cannot be opened for writing (or is
// not a regular file).
int probeWriteAccess(const QString& path);

}  // namespace korvex
