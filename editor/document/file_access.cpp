#include "editor/document/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cctype>
#include <cstring>
#include <vector>

namespace tavrel {
namespace {

int lockWholeFile(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    lock.l_pid = 0;  // required for open-file-description locks
    return ::fcntl(fd, F_OFD_SETLK, &lock);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool writeAll(int fd, std::string_view content) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

int readRegularFile(const std::string& path, std::string& out) {
    // O_NONBLOCK so that opening a FIFO without a writer does not wait; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    out.clear();
    out.reserve(static_cast<std::size_t>(st.st_size));
    std::vector<char> buf(1 << 16);
    for (;;) {
        const ssize_t n = ::read(fd, buf.data(), buf.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return -2;
        }
        if (n == 0) break;
        out.append(buf.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    return 0;
}

int probeWriteAccess(const std::string& path, std::string* reason) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) return 0;
        if (reason) *reason = std::strerror(errno);
        return -2;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (reason) *reason = std::strerror(EINVAL);
        return -2;
    }
    const int result = lockWholeFile(fd, F_WRLCK);
    const int savedErrno = errno;
    ::close(fd);  // releases the probe's own lock
    if (result == 0) return 0;
    if (savedErrno == EAGAIN || savedErrno == EACCES) return -1;
    if (reason) *reason = std::strerror(savedErrno);
    return -2;
}

int replaceFileContent(const std::string& path, std::string_view content, std::string& reason) {
    const std::string name = fileNameOf(path);
    std::string temp = folderOf(path) + "/." + name + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        reason = std::strerror(errno);
        return -1;
    }
    // The new file takes the old one's permission bits, or the usual ones for a new file.
    struct stat st {};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = writeAll(fd, content) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    int savedErrno = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        savedErrno = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        reason = std::strerror(savedErrno);
        return -1;
    }
    return 0;
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool fileNameEndsWith(const std::string& path, std::string_view suffix) {
    const std::string name = fileNameOf(path);
    if (name.size() < suffix.size()) return false;
    const std::size_t at = name.size() - suffix.size();
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(name[at + i]);
        const unsigned char b = static_cast<unsigned char>(suffix[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

}  // namespace tavrel
