#include "platform/file_lock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
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

// Opens `path` without waiting (a FIFO without a writer or reader would hold a blocking open for
// ever) and keeps it only when it is a regular file; the descriptor blocks again afterwards.
// -1 with errno set otherwise (EINVAL for a FIFO, device, socket or directory).
int openRegular(const QString& path, int access) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    int flags = -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (flags = ::fcntl(fd, F_GETFL)) < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int saved = S_ISREG(st.st_mode) ? errno : EINVAL;
        ::close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

bool heldByOthers(int error) { return error == EAGAIN || error == EACCES; }

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
    const int fd = openRegular(path, O_RDONLY);
    if (fd < 0)
        return -1;
    // A file system without these locks still lets the program be loaded: the file is held
    // open, only without the lock.
    if (lockWholeFile(fd, F_RDLCK) != 0 && heldByOthers(errno)) {
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

FileIdentity fileIdentity(int fd) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return {};
    return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
}

bool isReadableRegularFile(const QString& path) {
    const int fd = openRegular(path, O_RDONLY);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

int probeWriteAccess(const QString& path) {
    // Opened without truncation or creation: the probe must not change the file.
    const int fd = openRegular(path, O_WRONLY);
    if (fd < 0)
        return errno == ENOENT ? 0 : -2;
    const int result = lockWholeFile(fd, F_WRLCK);
    const int savedErrno = errno;
    ::close(fd);
    if (result == 0)
        return 0;
    return heldByOthers(savedErrno) ? -1 : -2;
}

}  // namespace korvex
