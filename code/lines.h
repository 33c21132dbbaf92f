// A program in memory and reading a code file into it.
//
// Lines keep the limits of the 300-byte buffer they are read with: no line holds more than
// kMaxLineChars characters, and a pass may rewrite a line in place. They are stored compactly:
//
//   line table:  [ptr][ptr][ptr][null][ptr] ...   one entry a line (null: empty line)
//                  |    |    \______________
//   text blocks: [N0 G92 X0 Y0;\0 comment\nN1 G01 X1 Y0;\0 ...]  [rewritten lines ...]
//
// A file's content is read into one block and each kept line is terminated where its line end
// stood, so reading copies nothing. A rewrite that fits in the line's present text overwrites
// it; a longer one goes into a later block (the old text stays where it was, unused). Blocks
// never move, so line pointers stay valid while other lines are rewritten.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

// The buffer a code line is read with: a line holds at most kMaxLineChars characters.
inline constexpr int kLineSlotBytes = 300;
inline constexpr int kMaxLineChars = kLineSlotBytes - 1;
// A line is kept only if it holds one of these capital letters (drops comments, banners and the
// start-point line of a written 3B file).
inline constexpr const char* kCodeLineFilter = "GDMT";
// Most lines a file may have; a larger one is refused rather than filling the memory.
inline constexpr int kMaxProgramLines = 10000000;

// Memory released with std::free.
struct FreeDeleter {
    void operator()(void* p) const;
};

// A file's content in one block with one spare byte after it, so that its last line can be
// terminated in place.
struct ProgramText {
    std::unique_ptr<char, FreeDeleter> data;
    std::size_t size = 0;
    std::string_view view() const { return {data.get(), size}; }
};

class ProgramLines {
public:
    ProgramLines();
    ~ProgramLines();
    ProgramLines(ProgramLines&&) noexcept;
    ProgramLines& operator=(ProgramLines&&) noexcept;

    // Replaces the store by `capacity` empty lines and sets the count to 0. `frontRoom` more
    // entries before line 0 let lines be put in front without moving the others. 0 or -1.
    int allocate(int capacity, int frontRoom = 0);
    // A copy of the first `count` lines, in a store of exactly that many lines. 0 or -1.
    int copyTo(ProgramLines& out) const;

    int capacity() const { return capacity_; }
    int count = 0;

    // Line i as a C string of at most kMaxLineChars characters ("" for an empty line). Valid
    // until line i is rewritten or the store is replaced.
    const char* line(int i) const {
        const char* p = table_.get()[base_ + i];
        return p ? p : "";
    }
    // Writes `text` as line i, cut at kMaxLineChars characters (and at an embedded NUL). `text`
    // may be (part of) the line itself. Several threads may rewrite different lines at once.
    // 0, or -1 when no memory is left (the line keeps its text).
    int setLine(int i, std::string_view text);
    // Appends a line; -1 when the store is full.
    int append(std::string_view text);
    // Inserts an empty line at i, moving the lines from i on down by one; -1 when full.
    // At 0 it takes an entry of front room when there is one, moving nothing.
    int insertAt(int i);
    // Removes `n` lines starting at i. Removing from line 0 on moves nothing: those entries
    // become front room.
    void removeAt(int i, int n);

    // Copies the lines into one new block and frees the old ones when rewritten and dropped
    // lines take more than a quarter of the text held. Not while other threads use the store.
    void compact();
    // Bytes of text blocks held (line text, dropped lines and unused rewritten text).
    std::size_t textBytes() const { return textBytes_; }

    // splitProgramText on a block: the store keeps the block and its kept lines stay in it.
    int takeText(ProgramText&& text, const char* filter, int* fileLineCount);

private:
    char* allocateText(std::size_t bytes);
    void addBlock(std::unique_ptr<char, FreeDeleter> block, std::size_t bytes);

    std::unique_ptr<char*, FreeDeleter> table_;
    int base_ = 0;      // table entry of line 0
    int capacity_ = 0;  // entries from line 0 on
    std::vector<std::unique_ptr<char, FreeDeleter>> blocks_;
    char* free_ = nullptr;     // unused part of the last block for rewritten lines
    char* freeEnd_ = nullptr;
    std::size_t textBytes_ = 0;
    std::mutex textLock_;  // guards the block list while lines are rewritten
};

// Passes over a large program read one line after another; asking for the text a few lines
// ahead hides the memory's latency.
inline constexpr int kPrefetchLines = 16;
inline void prefetchLine(const ProgramLines& lines, int i) {
    if (i < lines.count) __builtin_prefetch(lines.line(i));
}

// Opens a file for reading only if it is a regular file. The open does not block (a FIFO
// without a writer would hold it for ever); the descriptor is blocking again afterwards.
// The descriptor, or -1 with errno set (EINVAL for a FIFO, device, socket or directory).
int openRegularFile(const char* path);

// Reads a whole regular file from its start: 0; -1 when it cannot be opened or is not a
// regular file; -2 when reading fails, memory runs out, or the file is too large to hold
// kMaxProgramLines lines or fewer.
int readProgramText(const char* path, ProgramText& out);
int readProgramText(int fd, ProgramText& out);

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

// The same on text in memory. `fileLineCount` receives the number of raw lines when not null.
// The first form takes over the block; the second copies the text.
int splitProgramText(ProgramText&& text, ProgramLines& lines, const char* filter = kCodeLineFilter,
                     int* fileLineCount = nullptr);
int splitProgramText(std::string_view text, ProgramLines& lines, const char* filter = kCodeLineFilter,
                     int* fileLineCount = nullptr);

// The whole content of a regular file: 0, -1 when it cannot be opened, -2 when reading fails.
int readFileText(const char* path, std::string& out);

// Line `index` (from 0) of the text as fgets reads it, without its line end. 0, or -1 when the
// text has fewer lines.
int fileLineAt(std::string_view text, int index, std::string& out);

}  // namespace korvex
