#include "controller/link/pulse_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace korvex {

namespace {

constexpr int32_t kPulseCellMax = 1000;  // widest Pw and Pi the dialog takes

bool readWholeFile(const std::string& path, std::string& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // Nothing longer than a dao.tbl with its longest name line is a pulse file.
    constexpr std::size_t kMost = kPulseTableFileBytes + kPulseTableNameMaxBytes + 1;
    std::string data;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        data.append(buf, static_cast<std::size_t>(n));
        if (data.size() > kMost)
            break;
    }
    ::close(fd);
    out = std::move(data);
    return true;
}

std::string nameLine(const std::string& tail) {
    std::string line = tail.substr(0, kPulseTableNameMaxBytes);
    const std::size_t end = line.find_first_of(std::string("\n\r\0", 3));
    if (end != std::string::npos)
        line.resize(end);
    return cutPulseTableName(line);
}

}  // namespace

bool pulseGroupIsValid(const PulseGroup& g) {
    if (g.pulseWidthUs < 0 || g.pulseWidthUs > kPulseCellMax || g.pulseIntervalUs < 0)
        return false;
    if (g.pulseWidthUs == 0) {
        if (g.pulseIntervalUs != 0)
            return false;
    } else if (g.pulseIntervalUs / g.pulseWidthUs > kPulseCellMax) {
        return false;
    }
    return g.feedValue >= kFeedValueMin && g.feedValue <= kFeedValueMax;
}

std::string cutPulseTableName(std::string name) {
    if (name.size() > kPulseTableNameMaxBytes) {
        std::size_t cut = kPulseTableNameMaxBytes;
        while (cut > 0 && (static_cast<uint8_t>(name[cut]) & 0xC0) == 0x80)
            --cut;  // never end inside a character
        name.resize(cut);
    }
    return name;
}

int readPulseFile(const std::string& path, PulseFile& out) {
    std::string data;
    if (!readWholeFile(path, data))
        return -1;
    std::size_t count = 0;
    if (data.size() == kPulseGroupBytes)
        count = 1;
    else if (data.size() >= kPulseTableFileBytes)
        count = kPulseGroupCount;
    else
        return -1;
    PulseFile read;
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    for (std::size_t i = 0; i < count; ++i) {
        PulseGroup g = decodePulseGroup(
            std::span<const uint8_t, kPulseGroupBytes>(bytes + i * kPulseGroupBytes, kPulseGroupBytes));
        if (!pulseGroupIsValid(g))
            return -1;
        g.index = static_cast<uint8_t>(i);
        read.groups.push_back(g);
    }
    if (data.size() > kPulseTableFileBytes)
        read.name = nameLine(data.substr(kPulseTableFileBytes));
    out = std::move(read);
    return 0;
}

int writePulseFile(const std::string& path, const PulseFile& file) {
    if (file.groups.size() != 1 && file.groups.size() != static_cast<std::size_t>(kPulseGroupCount))
        return -1;
    std::string bytes;
    for (const PulseGroup& g : file.groups) {
        const PulseGroupImage image = encodePulseGroup(g);
        bytes.append(reinterpret_cast<const char*>(image.data()), image.size());
    }
    if (file.name)
        bytes += cutPulseTableName(*file.name);
    return writeFileAtomically(path, bytes);
}

int writeFileAtomically(const std::string& path, const std::string& bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return -1;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<std::size_t>(n);
    }
    // The files are shared with the operator's own tools: the usual rw-r--r--.
    ok = ok && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0)
        return 0;
    ::unlink(temp.c_str());
    return -1;
}

}  // namespace korvex
