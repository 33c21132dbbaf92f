#include "platform/file_lock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace korvex {

namespace {

int lockWholeFile(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;  // to the end, however long the file grows
    lock.l_pid = 0;  // required for open-file-description locks
    return ::fcntl(fd, F_OFD_SETLK, &lock);
}

}  // namespace

ReadLockedFile::ReadLockedFile(ReadLockedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

ReadLockedFile& ReadLockedFile::operator=(ReadLockedFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

int ReadLockedFile::open(const QString& path) {
    close();
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (lockWholeFile(fd, F_RDLCK) != 0) {
        ::close(fd);
        return -2;
    }
    fd_ = fd;
    path_ = path;
    return 0;
}

void ReadLockedFile::close() {
    if (fd_ >= 0)
        ::close(fd_);  // closing the description releases its lock
    fd_ = -1;
    path_.clear();
}

int probeWriteAccess(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    // Opened without truncation or creation: the probe must not change the file.
    const int fd = ::open(native.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? 0 : -2;
    const int result = lockWholeFile(fd, F_WRLCK);
    const int savedErrno = errno;
    ::close(fd);
    if (result == 0)
        return 0;
    return (savedErrno == EAGAIN || savedErrno == EACCES) ? -1 : -2;
}

}  // namespace korvex
