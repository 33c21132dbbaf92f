#include "code/lines.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace korvex {
namespace {

// Walks `text` the way repeated fgets calls with a 300-byte buffer read a file: each call takes
// up to 299 characters or through the next line feed. A CR directly before a LF belongs to the
// line end. `visit(line, length)` gets each line without its line end.
template <typename Visit>
int forEachFgetsLine(std::string_view text, Visit&& visit) {
    int count = 0;
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

bool keepLine(const char* s, std::size_t n, const char* filter) {
    std::size_t i = 0;
    while (i < n && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i == n) return false;
    for (; i < n; ++i) {
        if (s[i] == '\0') return false;  // the line as a C string ends here
        if (std::strchr(filter, s[i])) return true;
    }
    return false;
}

}  // namespace

int ProgramLines::allocate(int capacity) {
    if (capacity < 0) return -1;
    const std::size_t bytes = static_cast<std::size_t>(capacity) * kLineSlotBytes;
    char* p = new (std::nothrow) char[bytes == 0 ? 1 : bytes]();
    if (!p) return -1;
    slots_.reset(p);
    capacity_ = capacity;
    count = 0;
    return 0;
}

int ProgramLines::copyTo(ProgramLines& out) const {
    if (out.allocate(capacity_) != 0) return -1;
    if (count > 0) std::memcpy(out.slots_.get(), slots_.get(), static_cast<std::size_t>(count) * kLineSlotBytes);
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
    if (count >= capacity_ || i < 0 || i > count) return -1;
    std::memmove(line(i + 1), line(i), static_cast<std::size_t>(count - i) * kLineSlotBytes);
    std::memset(line(i), 0, kLineSlotBytes);
    ++count;
    return 0;
}

void ProgramLines::removeAt(int i, int n) {
    if (i < 0 || n <= 0 || i >= count) return;
    if (i + n > count) n = count - i;
    std::memmove(line(i), line(i + n), static_cast<std::size_t>(count - i - n) * kLineSlotBytes);
    count -= n;
    std::memset(line(count), 0, static_cast<std::size_t>(n) * kLineSlotBytes);
}

int splitProgramText(std::string_view text, ProgramLines& lines, const char* filter,
                     int* fileLineCount) {
    const int fileLines = forEachFgetsLine(text, [](const char*, std::size_t) {});
    if (fileLineCount) *fileLineCount = fileLines;
    if (lines.allocate(2 * fileLines) != 0) return -1;
    forEachFgetsLine(text, [&](const char* s, std::size_t n) {
        if (keepLine(s, n, filter)) lines.setLine(lines.count++, std::string_view(s, n));
    });
    return lines.count;
}

int fileLineAt(std::string_view text, int index, std::string& out) {
    int seen = 0;
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
    return forEachFgetsLine(text, [](const char*, std::size_t) {});
}

int readProgramLines(const char* path, ProgramLines& lines, const char* filter) {
    std::string text;
    if (readFileText(path, text) != 0) return -1;
    return splitProgramText(text, lines, filter);
}

}  // namespace korvex
