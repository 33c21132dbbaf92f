#include "code/lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <utility>

namespace korvex {
namespace {

// Blocks for rewritten and appended lines start small (a few lines of a test or a dialog) and
// double up to this size.
constexpr std::size_t kFirstTextBlockBytes = 4096;
constexpr std::size_t kLargestTextBlockBytes = std::size_t{1} << 20;
// A file longer than this has more than kMaxProgramLines lines: every line fgets reads takes at
// most kMaxLineChars characters and a CR LF pair.
constexpr std::size_t kMaxProgramBytes = std::size_t{kMaxProgramLines} * (kMaxLineChars + 2);
// Read a file of unknown length in steps of this size.
constexpr std::size_t kReadChunkBytes = std::size_t{1} << 16;

// Walks `text` the way repeated fgets calls with a 300-byte buffer read a file: each call takes
// up to 299 characters or through the next line feed. A CR directly before a LF belongs to the
// line end. `visit(line, length, endRead)` gets each line without its line end; `endRead` says
// that the character after the line belongs to it (its line end, or the end of the text), so
// the line may be terminated there. Stops after `limit` lines.
template <typename Visit>
int64_t forEachFgetsLine(std::string_view text, Visit&& visit,
                         int64_t limit = std::numeric_limits<int64_t>::max()) {
    int64_t count = 0;
    std::size_t pos = 0;
    const std::size_t size = text.size();
    const char* data = text.data();
    while (pos < size && count < limit) {
        // Room for 299 characters of content, then a CR LF pair.
        const std::size_t window = std::min(size, pos + kMaxLineChars + 2);
        const void* nl = std::memchr(data + pos, '\n', window - pos);
        std::size_t contentEnd = window;
        std::size_t next = window;
        if (nl) {
            next = static_cast<std::size_t>(static_cast<const char*>(nl) - data);
            contentEnd = next;
            if (contentEnd > pos && data[contentEnd - 1] == '\r') --contentEnd;
            ++next;
        }
        // The line end is one character of the buffer too: with 299 characters of content or
        // more, fgets stops before it and the next call starts right there.
        if (contentEnd - pos >= static_cast<std::size_t>(kMaxLineChars)) {
            contentEnd = pos + kMaxLineChars;
            next = contentEnd;
        }
        visit(data + pos, contentEnd - pos, next > contentEnd || contentEnd == size);
        ++count;
        pos = next;
    }
    return count;
}

int64_t countFgetsLines(std::string_view text) {
    return forEachFgetsLine(text, [](const char*, std::size_t, bool) {});
}

// The letters a kept line must contain one of.
struct LineFilter {
    explicit LineFilter(const char* letters) {
        for (const char* p = letters; *p; ++p) wanted[static_cast<unsigned char>(*p)] = true;
    }
    bool keep(const char* s, std::size_t n) const {
        for (std::size_t i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned char>(s[i]);
            if (c == '\0') return false;  // the line as a C string ends here
            if (wanted[c]) return true;
        }
        return false;  // empty or blank lines hold none of the letters either
    }
    bool wanted[256] = {};
};

// The text a line is set to: cut at kMaxLineChars characters and at an embedded NUL.
std::size_t storedLength(std::string_view text) {
    std::size_t n = std::min<std::size_t>(text.size(), kMaxLineChars);
    const void* nul = std::memchr(text.data(), '\0', n);
    if (nul) n = static_cast<std::size_t>(static_cast<const char*>(nul) - text.data());
    return n;
}

}  // namespace

void FreeDeleter::operator()(void* p) const { std::free(p); }

ProgramLines::ProgramLines() = default;
ProgramLines::~ProgramLines() = default;

ProgramLines::ProgramLines(ProgramLines&& other) noexcept { *this = std::move(other); }

ProgramLines& ProgramLines::operator=(ProgramLines&& other) noexcept {
    if (this == &other) return *this;
    // The lock stays with each object: it guards that object's blocks only.
    table_ = std::move(other.table_);
    blocks_ = std::move(other.blocks_);
    count = std::exchange(other.count, 0);
    base_ = std::exchange(other.base_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    free_ = std::exchange(other.free_, nullptr);
    freeEnd_ = std::exchange(other.freeEnd_, nullptr);
    textBytes_ = std::exchange(other.textBytes_, 0);
    other.blocks_.clear();
    return *this;
}

int ProgramLines::allocate(int capacity, int frontRoom) {
    if (capacity < 0 || frontRoom < 0) return -1;
    const std::size_t entries = static_cast<std::size_t>(capacity) + static_cast<std::size_t>(frontRoom);
    // calloc hands a large table out as untouched zero pages: the entries the passes never
    // reach (there is room for twice the file's lines) cost no memory.
    auto* table = static_cast<char**>(std::calloc(entries == 0 ? 1 : entries, sizeof(char*)));
    if (!table) return -1;
    table_.reset(table);
    base_ = frontRoom;
    capacity_ = capacity;
    count = 0;
    blocks_.clear();
    free_ = freeEnd_ = nullptr;
    textBytes_ = 0;
    return 0;
}

void ProgramLines::addBlock(std::unique_ptr<char, FreeDeleter> block, std::size_t bytes) {
    blocks_.push_back(std::move(block));
    textBytes_ += bytes;
}

char* ProgramLines::allocateText(std::size_t bytes) {
    const std::lock_guard<std::mutex> lock(textLock_);
    if (static_cast<std::size_t>(freeEnd_ - free_) < bytes) {
        const std::size_t size = std::max(
            bytes, std::clamp(textBytes_, kFirstTextBlockBytes, kLargestTextBlockBytes));
        std::unique_ptr<char, FreeDeleter> block(static_cast<char*>(std::malloc(size)));
        if (!block) return nullptr;
        char* start = block.get();
        try {
            addBlock(std::move(block), size);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        free_ = start;
        freeEnd_ = start + size;
    }
    char* p = free_;
    free_ += bytes;
    return p;
}

int ProgramLines::setLine(int i, std::string_view text) {
    char*& entry = table_.get()[base_ + i];
    const std::size_t n = storedLength(text);
    if (n == 0) {
        entry = nullptr;
        return 0;
    }
    // The present text holds at least n characters: the new one fits over it.
    if (entry && strnlen(entry, n) == n) {
        std::memmove(entry, text.data(), n);
        entry[n] = '\0';
        return 0;
    }
    char* p = allocateText(n + 1);
    if (!p) return -1;
    std::memcpy(p, text.data(), n);
    p[n] = '\0';
    entry = p;
    return 0;
}

int ProgramLines::append(std::string_view text) {
    if (count >= capacity_) return -1;
    if (setLine(count, text) != 0) return -1;
    ++count;
    return 0;
}

int ProgramLines::insertAt(int i) {
    char** table = table_.get();
    if (i == 0 && base_ > 0) {
        --base_;
        ++capacity_;
        table[base_] = nullptr;
        ++count;
        return 0;
    }
    if (count >= capacity_ || i < 0 || i > count) return -1;
    char** at = table + base_ + i;
    std::memmove(at + 1, at, static_cast<std::size_t>(count - i) * sizeof(char*));
    *at = nullptr;
    ++count;
    return 0;
}

void ProgramLines::removeAt(int i, int n) {
    if (i < 0 || n <= 0 || i >= count) return;
    if (i + n > count) n = count - i;
    char** table = table_.get();
    if (i == 0) {
        std::fill(table + base_, table + base_ + n, nullptr);
        base_ += n;
        capacity_ -= n;
        count -= n;
        return;
    }
    char** at = table + base_ + i;
    std::memmove(at, at + n, static_cast<std::size_t>(count - i - n) * sizeof(char*));
    count -= n;
    std::fill(table + base_ + count, table + base_ + count + n, nullptr);
}

namespace {

// Bytes the lines take with their terminators.
std::size_t liveTextBytes(const ProgramLines& lines) {
    std::size_t bytes = 0;
    for (int i = 0; i < lines.count; ++i) {
        const std::size_t n = std::strlen(lines.line(i));
        if (n > 0) bytes += n + 1;
    }
    return bytes;
}

// Copies the lines of `from` one after another into `to`, pointing `table` at the copies.
void packLines(const ProgramLines& from, char* to, char** table) {
    for (int i = 0; i < from.count; ++i) {
        const char* s = from.line(i);
        const std::size_t n = std::strlen(s);
        if (n == 0) {
            table[i] = nullptr;
            continue;
        }
        std::memcpy(to, s, n + 1);
        table[i] = to;
        to += n + 1;
    }
}

}  // namespace

int ProgramLines::copyTo(ProgramLines& out) const {
    if (out.allocate(count) != 0) return -1;
    const std::size_t bytes = liveTextBytes(*this);
    std::unique_ptr<char, FreeDeleter> block(static_cast<char*>(std::malloc(bytes == 0 ? 1 : bytes)));
    if (!block) return -1;
    packLines(*this, block.get(), out.table_.get() + out.base_);
    out.addBlock(std::move(block), bytes);
    out.count = count;
    return 0;
}

void ProgramLines::compact() {
    const std::size_t bytes = liveTextBytes(*this);
    if (bytes >= textBytes_ / 4 * 3) return;
    std::unique_ptr<char, FreeDeleter> block(static_cast<char*>(std::malloc(bytes == 0 ? 1 : bytes)));
    if (!block) return;  // the lines stay where they are
    packLines(*this, block.get(), table_.get() + base_);
    blocks_.clear();
    textBytes_ = 0;
    free_ = freeEnd_ = nullptr;
    addBlock(std::move(block), bytes);
}

int ProgramLines::takeText(ProgramText&& text, const char* filter, int* fileLineCount) {
    const int64_t fileLines = countFgetsLines(text.view());
    if (fileLineCount) *fileLineCount = static_cast<int>(std::min<int64_t>(fileLines, kMaxProgramLines + 1));
    if (fileLines > kMaxProgramLines) return -1;
    // One entry of front room for the start line that a 3B program gets put before it.
    if (allocate(static_cast<int>(2 * fileLines), 1) != 0) return -1;
    char* data = text.data.get();
    const std::size_t size = text.size;
    addBlock(std::move(text.data), size + 1);
    text.size = 0;

    const LineFilter keep(filter);
    char** table = table_.get() + base_;
    bool failed = false;
    forEachFgetsLine(std::string_view(data, size), [&](const char* s, std::size_t n, bool endRead) {
        if (failed || !keep.keep(s, n)) return;
        if (endRead) {
            // The line end (or the spare byte after the text) becomes the terminator.
            char* line = data + (s - data);
            line[n] = '\0';
            table[count++] = line;
        } else if (append(std::string_view(s, n)) != 0) {
            failed = true;  // a line cut at 299 characters has no byte of its own to end on
        }
    });
    return failed ? -1 : count;
}

int splitProgramText(ProgramText&& text, ProgramLines& lines, const char* filter,
                     int* fileLineCount) {
    return lines.takeText(std::move(text), filter, fileLineCount);
}

int splitProgramText(std::string_view text, ProgramLines& lines, const char* filter,
                     int* fileLineCount) {
    ProgramText copy;
    copy.data.reset(static_cast<char*>(std::malloc(text.size() + 1)));
    if (!copy.data) return -1;
    if (!text.empty()) std::memcpy(copy.data.get(), text.data(), text.size());
    copy.size = text.size();
    return splitProgramText(std::move(copy), lines, filter, fileLineCount);
}

int fileLineAt(std::string_view text, int index, std::string& out) {
    if (index < 0) return -1;
    int64_t seen = 0;
    bool found = false;
    forEachFgetsLine(
        text,
        [&](const char* s, std::size_t n, bool) {
            if (seen++ == index) {
                out.assign(s, n);
                found = true;
            }
        },
        int64_t{index} + 1);
    return found ? 0 : -1;
}

int openRegularFile(const char* path) {
    // O_NOCTTY: a terminal named by mistake must not become this process's controlling one.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

int readProgramText(int fd, ProgramText& out) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    std::size_t room = static_cast<std::size_t>(std::max<off_t>(st.st_size, 0));
    if (room > kMaxProgramBytes) return -2;
    std::unique_ptr<char, FreeDeleter> data(static_cast<char*>(std::malloc(room + 1)));
    if (!data) return -2;
    std::size_t size = 0;
    for (;;) {
        if (size == room) {
            // The file may be longer than fstat said (it grows, or the kernel does not know).
            char probe[kReadChunkBytes];
            const ssize_t n = ::pread(fd, probe, sizeof probe, static_cast<off_t>(size));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return -2;
            if (n == 0) break;
            const auto got = static_cast<std::size_t>(n);
            if (size + got > kMaxProgramBytes) return -2;
            room = std::min(kMaxProgramBytes, std::max(2 * room, size + got));
            char* grown = static_cast<char*>(std::realloc(data.get(), room + 1));
            if (!grown) return -2;
            (void)data.release();
            data.reset(grown);
            std::memcpy(data.get() + size, probe, got);
            size += got;
            continue;
        }
        const ssize_t n = ::pread(fd, data.get() + size, room - size, static_cast<off_t>(size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -2;
        if (n == 0) break;
        size += static_cast<std::size_t>(n);
    }
    out.data = std::move(data);
    out.size = size;
    return 0;
}

int readProgramText(const char* path, ProgramText& out) {
    const int fd = openRegularFile(path);
    if (fd < 0) return -1;
    const int result = readProgramText(fd, out);
    ::close(fd);
    return result;
}

int readFileText(const char* path, std::string& out) {
    ProgramText text;
    const int result = readProgramText(path, text);
    if (result != 0) return result;
    out.assign(text.data.get(), text.size);
    return 0;
}

int countFileLines(const char* path) {
    ProgramText text;
    if (readProgramText(path, text) != 0) return -1;
    const int64_t n = countFgetsLines(text.view());
    return static_cast<int>(std::min<int64_t>(n, std::numeric_limits<int>::max()));
}

int readProgramLines(const char* path, ProgramLines& lines, const char* filter) {
    ProgramText text;
    if (readProgramText(path, text) != 0) return -1;
    return splitProgramText(std::move(text), lines, filter);
}

}  // namespace korvex
