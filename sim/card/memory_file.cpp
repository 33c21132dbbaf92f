#include "sim/card/memory_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace korvex::sim {

int readMemoryFile(const std::string& path, CardMemory& memory, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return 0;
        error = "cannot read " + path + ": " + std::strerror(errno);
        return -1;
    }
    std::vector<uint8_t> bytes(kMemoryFileBytes + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (got != kMemoryFileBytes || std::memcmp(bytes.data(), kMemoryFileMagic, kMemoryFileMagicBytes) != 0) {
        error = path + " is not a virtual card memory file (expected " + std::to_string(kMemoryFileBytes) +
                " bytes starting with " + kMemoryFileMagic + ")";
        return -1;
    }
    const uint8_t* p = bytes.data() + kMemoryFileMagicBytes;
    std::memcpy(memory.settings.data(), p, kSettingsBlockBytes);
    std::memcpy(memory.record.data(), p + kSettingsBlockBytes, kWorkRecordBytes);
    return 1;
}

int writeMemoryFile(const std::string& path, const CardMemory& memory, std::string& error) {
    std::vector<uint8_t> bytes(kMemoryFileBytes);
    std::memcpy(bytes.data(), kMemoryFileMagic, kMemoryFileMagicBytes);
    std::memcpy(bytes.data() + kMemoryFileMagicBytes, memory.settings.data(), kSettingsBlockBytes);
    std::memcpy(bytes.data() + kMemoryFileMagicBytes + kSettingsBlockBytes, memory.record.data(), kWorkRecordBytes);

    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write " + temp + ": " + std::strerror(errno);
        return -1;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    const bool written = done == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        ::unlink(temp.c_str());
        return -1;
    }
    return 0;
}

}  // namespace korvex::sim
