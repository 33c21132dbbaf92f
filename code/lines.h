// A program in memory: fixed 300-byte line slots in one block, and reading a code file into
// them. Every pass over a program rewrites lines in place inside these slots, so no line ever
// grows past kMaxLineChars.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace korvex {

inline constexpr int kLineSlotBytes = 300;
inline constexpr int kMaxLineChars = kLineSlotBytes - 1;
// A line is kept only if it holds one of these capital letters (drops comments, banners and the
// start-point line of a written 3B file).
inline constexpr const char* kCodeLineFilter = "GDMT";
// Most lines a file may have; a larger one is refused rather than filling the memory.
inline constexpr int kMaxProgramLines = 10000000;

class ProgramLines {
public:
    ProgramLines() = default;
    ProgramLines(ProgramLines&&) noexcept = default;
    ProgramLines& operator=(ProgramLines&&) noexcept = default;

    // Replaces the store by `capacity` zeroed slots and sets the count to 0. `frontRoom` more
    // slots before line 0 let lines be put in front without moving the others. 0 or -1.
    int allocate(int capacity, int frontRoom = 0);
    // A copy of the first `count` lines, in a store of exactly that many slots. 0 or -1.
    int copyTo(ProgramLines& out) const;

    int capacity() const { return capacity_; }
    int count = 0;

    char* line(int i) { return slots_.get() + static_cast<std::ptrdiff_t>(base_ + i) * kLineSlotBytes; }
    const char* line(int i) const {
        return slots_.get() + static_cast<std::ptrdiff_t>(base_ + i) * kLineSlotBytes;
    }
    // Writes `text` into slot i, cut at kMaxLineChars characters (and at an embedded NUL).
    void setLine(int i, std::string_view text);
    // Appends a line; -1 when the store is full.
    int append(std::string_view text);
    // Inserts an empty line at i, moving the lines from i on down by one; -1 when full.
    // At 0 it takes a slot of front room when there is one, moving nothing.
    int insertAt(int i);
    // Removes `n` lines starting at i and clears the freed slots. Removing from line 0 on
    // moves nothing: those slots become front room.
    void removeAt(int i, int n);

private:
    struct Free {
        void operator()(char* p) const;
    };
    std::unique_ptr<char, Free> slots_;
    int base_ = 0;      // slot of line 0
    int capacity_ = 0;  // slots from line 0 on
};

// Passes over a large program touch one slot after another, 300 bytes apart; asking for the slot
// a few lines ahead hides the memory's latency.
inline constexpr int kPrefetchLines = 16;
inline void prefetchLine(const ProgramLines& lines, int i) {
    if (i < lines.count) __builtin_prefetch(lines.line(i));
}

// Counts the lines of a file as repeated fgets calls with a 300-byte buffer would see them: a
// CR LF pair is one line end, and the rest of a line longer than 299 characters is a line of
// its own. -1 when the file cannot be opened.
int countFileLines(const char* path);

// Reads a file into `lines` (allocating room for twice the number of lines in the file, for the
// passes that insert lines), keeping a line only if, after its leading spaces and tabs, it is
// not empty and contains one of the letters of `filter`. Kept lines are stored as read, without
// their line end. Returns the number of kept lines, or -1 when the file cannot be opened or read
// or has more than kMaxProgramLines lines.
int readProgramLines(const char* path, ProgramLines& lines, const char* filter = kCodeLineFilter);

// The same on text already in memory (used by the reader, the editor's preview and tests).
// `fileLineCount` receives the number of raw lines when not null.
int splitProgramText(std::string_view text, ProgramLines& lines, const char* filter = kCodeLineFilter,
                     int* fileLineCount = nullptr);

// The whole content of a file: 0, -1 when it cannot be opened, -2 when reading fails.
int readFileText(const char* path, std::string& out);

// Line `index` (from 0) of the text as fgets reads it, without its line end. 0, or -1 when the
// text has fewer lines.
int fileLineAt(std::string_view text, int index, std::string& out);

}  // namespace korvex
