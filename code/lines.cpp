#include "code/lines.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace korvex {
namespace {

// Walks `text` the way repeated fgets calls with a 300-byte buffer read a file: each call takes
// up to 299 characters or through the next line feed. A CR directly before a LF belongs to the
// line end. `visit(line, length)` gets each line without its line end.
template <typename Visit>
int64_t forEachFgetsLine(std::string_view text, Visit&& visit) {
    int64_t count = 0;
    std::size_t pos = 0;
    const std::size_t size = text.size();
    const char* data = text.data();
    while (pos < size) {
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
        visit(data + pos, contentEnd - pos);
        ++count;
        pos = next;
    }
    return count;
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

}  // namespace

void ProgramLines::Free::operator()(char* p) const { std::free(p); }

int ProgramLines::allocate(int capacity, int frontRoom) {
    if (capacity < 0 || frontRoom < 0) return -1;
    const std::size_t bytes = static_cast<std::size_t>(capacity + frontRoom) * kLineSlotBytes;
    // calloc hands a large block out as untouched zero pages: the slots that the passes never
    // reach (the store has room for twice the file's lines) cost no time. Large pages cut the
    // page faults of the slots that are filled.
    char* p = static_cast<char*>(std::calloc(bytes == 0 ? 1 : bytes, 1));
    if (!p) return -1;
    constexpr std::size_t kLargePageBytes = std::size_t{2} << 20;
    if (bytes >= 4 * kLargePageBytes) {
        const auto first = (reinterpret_cast<std::uintptr_t>(p) + kLargePageBytes - 1) & ~(kLargePageBytes - 1);
        const auto last = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kLargePageBytes - 1);
        if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
    slots_.reset(p);
    base_ = frontRoom;
    capacity_ = capacity;
    count = 0;
    return 0;
}

int ProgramLines::copyTo(ProgramLines& out) const {
    if (out.allocate(count) != 0) return -1;
    if (count > 0) std::memcpy(out.line(0), line(0), static_cast<std::size_t>(count) * kLineSlotBytes);
    out.count = count;
    return 0;
}

void ProgramLines::setLine(int i, std::string_view text) {
    char* slot = line(i);
    std::size_t n = std::min<std::size_t>(text.size(), kMaxLineChars);
    const void* nul = std::memchr(text.data(), '\0', n);
    if (nul) n = static_cast<std::size_t>(static_cast<const char*>(nul) - text.data());
    std::memcpy(slot, text.data(), n);
    std::memset(slot + n, 0, kLineSlotBytes - n);
}

int ProgramLines::append(std::string_view text) {
    if (count >= capacity_) return -1;
    setLine(count++, text);
    return 0;
}

int ProgramLines::insertAt(int i) {
    if (i == 0 && base_ > 0) {
        --base_;
        ++capacity_;
        std::memset(line(0), 0, kLineSlotBytes);
        ++count;
        return 0;
    }
    if (count >= capacity_ || i < 0 || i > count) return -1;
    std::memmove(line(i + 1), line(i), static_cast<std::size_t>(count - i) * kLineSlotBytes);
    std::memset(line(i), 0, kLineSlotBytes);
    ++count;
    return 0;
}

void ProgramLines::removeAt(int i, int n) {
    if (i < 0 || n <= 0 || i >= count) return;
    if (i + n > count) n = count - i;
    if (i == 0) {
        std::memset(line(0), 0, static_cast<std::size_t>(n) * kLineSlotBytes);
        base_ += n;
        capacity_ -= n;
        count -= n;
        return;
    }
    std::memmove(line(i), line(i + n), static_cast<std::size_t>(count - i - n) * kLineSlotBytes);
    count -= n;
    std::memset(line(count), 0, static_cast<std::size_t>(n) * kLineSlotBytes);
}

int splitProgramText(std::string_view text, ProgramLines& lines, const char* filter,
                     int* fileLineCount) {
    const int64_t fileLines = forEachFgetsLine(text, [](const char*, std::size_t) {});
    if (fileLineCount) *fileLineCount = static_cast<int>(std::min<int64_t>(fileLines, kMaxProgramLines + 1));
    if (fileLines > kMaxProgramLines) return -1;
    // One slot of front room for the start line that a 3B program gets put before it.
    if (lines.allocate(static_cast<int>(2 * fileLines), 1) != 0) return -1;
    const LineFilter keep(filter);
    forEachFgetsLine(text, [&](const char* s, std::size_t n) {
        if (keep.keep(s, n)) lines.setLine(lines.count++, std::string_view(s, n));
    });
    return lines.count;
}

int fileLineAt(std::string_view text, int index, std::string& out) {
    int64_t seen = 0;
    bool found = false;
    forEachFgetsLine(text, [&](const char* s, std::size_t n) {
        if (seen++ == index) {
            out.assign(s, n);
            found = true;
        }
    });
    return found ? 0 : -1;
}

int readFileText(const char* path, std::string& out) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return -1;
    out.clear();
    struct stat st {};
    if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        out.reserve(static_cast<std::size_t>(st.st_size));
    }
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    return failed ? -2 : 0;
}

int countFileLines(const char* path) {
    std::string text;
    if (readFileText(path, text) != 0) return -1;
    const int64_t n = forEachFgetsLine(text, [](const char*, std::size_t) {});
    return static_cast<int>(std::min<int64_t>(n, std::numeric_limits<int>::max()));
}

int readProgramLines(const char* path, ProgramLines& lines, const char* filter) {
    std::string text;
    if (readFileText(path, text) != 0) return -1;
    return splitProgramText(text, lines, filter);
}

}  // namespace korvex
