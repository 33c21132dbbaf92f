// The load runs the passes one after another; the three that look at every line on its own
// (3B translation, describing lines for the jump scan and lead-out closing, parsing into
// segments) share the lines out among the cores:
//
//   lines:   [chunk 0][chunk 1][chunk 2][chunk 3] ...   (kParseChunkLines each)
//   workers:  take the next chunk from one counter, the loading thread among them
//
// A line's result depends only on its own text and index, each worker writes only its own
// chunks' slots and segments, and the passes that need order (jump scan, lead-out closing,
// switch table, extents) run on the loading thread over the finished arrays. Parsing reports
// the first failing line even when a later chunk failed first: chunks are taken in order, so
// every chunk before a known failure is still parsed. Progress is reported by the loading
// thread only.
#include "code/loader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#include "code/numbers.h"
#include "code/threeb.h"

namespace korvex {
namespace {

// Lines handed to a parsing worker at a time; small enough for even shares and timely progress.
constexpr int kParseChunkLines = 2048;
// Below this many lines one thread parses everything.
constexpr int kParallelMinLines = 2 * kParseChunkLines;

int fail(LoadFailure& failure, LoadStatus status, const char* path, int line = -1,
         const char* lineText = "") {
    failure.status = status;
    failure.line = line;
    failure.message = loadMessage(status, path, line, lineText);
    return -1;
}

// Reads the taper header line "Korvex -Version 2.0 -Type ZD -Height %lf -Width %lf -Base %lf
// -R %lf -Degree %lf" the way a scanf of that format does: a blank in the format matches any run
// of white space (none included), other characters must match, a number skips white space.
bool scanTaperHeader(const char* s, double values[5]) {
    static const char* const kFormat =
        "Korvex -Version 2.0 -Type ZD -Height % -Width % -Base % -R % -Degree %";
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; };
    int read = 0;
    for (const char* f = kFormat; *f; ++f) {
        if (*f == ' ') {
            while (space(*s)) ++s;
        } else if (*f == '%') {
            const char* end = nullptr;
            values[read] = readReal(s, &end);
            if (end == s) return false;
            s = end;
            ++read;
        } else if (*s++ != *f) {
            return false;
        }
    }
    return read == 5;
}

int32_t truncateToInt32(double v) {
    if (std::isnan(v)) return 0;
    return clampToInt32(static_cast<int64_t>(std::clamp(v, -9.0e18, 9.0e18)));
}

int workerCount(const LoadOptions& options, int lines) {
    if (lines < kParallelMinLines) return 1;
    const int wanted = options.threads > 0
                           ? options.threads
                           : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // More workers than chunks would only wait.
    return std::min(wanted, lines / kParseChunkLines + 1);
}

// Runs `part(begin, end)` over [0, n) in chunks taken in turn by `threads` workers, the
// calling thread among them (so a worker that gets little processor time holds nobody up).
// Returns false when any part failed.
template <typename Part>
bool runParts(int n, int threads, Part&& part) {
    std::atomic<int> nextChunk{0};
    std::atomic<bool> failed{false};
    auto work = [&] {
        for (;;) {
            const int begin = nextChunk.fetch_add(1) * kParseChunkLines;
            if (begin >= n || failed.load(std::memory_order_relaxed)) return;
            if (!part(begin, std::min(n, begin + kParseChunkLines))) failed = true;
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (...) {
            break;  // no thread: the others do its share
        }
    }
    work();
    for (std::thread& h : helpers) h.join();
    return !failed.load();
}

// Parses every line into its segment, on `threads` workers taking chunks in order. Returns the
// index of the first failing line, -1 when all parsed, or -2 when cancelled.
int parseAllLines(const ProgramLines& lines, int kind, const LoadOptions& options,
                  std::vector<CodeSegment>& segments) {
    const int n = lines.count;
    std::atomic<int> nextChunk{0};
    std::atomic<int> firstFailure{n};
    std::atomic<int> linesDone{0};
    const std::atomic<bool>* cancel = options.cancel;
    auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };

    int lastPercent = -1;  // touched by the loading thread only
    auto report = [&](int percent) {
        if (options.progress && percent != lastPercent) options.progress(lastPercent = percent);
    };
    auto work = [&](bool reportsProgress) {
        for (;;) {
            const int begin = nextChunk.fetch_add(1) * kParseChunkLines;
            // Chunks are taken in order, so every line before a known failure is still parsed
            // and the first failing line is the one reported.
            if (begin >= n || begin > firstFailure.load()) return;
            const int end = std::min(n, begin + kParseChunkLines);
            for (int i = begin; i < end; ++i) {
                if (cancelled()) return;
                if (parseLine(lines.line(i), kind, segments[static_cast<std::size_t>(i)],
                              options.countSteps, cancel) != 0) {
                    int seen = firstFailure.load();
                    while (i < seen && !firstFailure.compare_exchange_weak(seen, i)) {}
                    return;
                }
            }
            const int done = linesDone.fetch_add(end - begin) + (end - begin);
            if (reportsProgress) report(static_cast<int>(static_cast<int64_t>(done) * 100 / n));
        }
    };

    const int threads = workerCount(options, n);
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work, false);
        } catch (...) {
            break;  // fewer helpers: the loading thread does the rest
        }
    }
    work(true);
    for (std::thread& t : helpers) t.join();
    if (cancelled()) return -2;
    if (firstFailure.load() < n) return firstFailure.load();
    report(100);
    return -1;
}

bool wantsTaperHeader(const char* path) { return std::strstr(path, ".3nb") != nullptr; }

// The taper header of a ".3nb" file: its second line (`header`, null when the file has none).
int readTaperHeader(const std::string* header, const char* path, LoadedProgram& out,
                    LoadFailure& failure) {
    double v[5];
    if (!header || !scanTaperHeader(header->c_str(), v)) {
        return fail(failure, LoadStatus::kBadTaperHeader, path);
    }
    out.taper = TaperHeader{true, truncateToInt32(v[0] * 10), truncateToInt32(v[1] * 10),
                            truncateToInt32(v[2] * 10), truncateToInt32(v[3] * 10),
                            truncateToInt32(v[4] * 1000)};
    return 0;
}

// Everything after reading the lines.
int loadLines(ProgramLines& lines, const char* path, const LoadOptions& options,
              LoadedProgram& out, LoadFailure& failure) {

    const ProgramKind kind = detectProgramKind(lines);
    if (kind == kKindIsoNoEnd || kind == kKind3BNoEnd) return fail(failure, LoadStatus::kNoEnd, path);
    if (kind == kKindUnknown) return fail(failure, LoadStatus::kUnknownCode, path);
    out.kind = kind;
    if (normaliseProgram(lines, kind) != 0) return fail(failure, LoadStatus::kFormatFailed, path);
    if (options.keepSourceLines && lines.copyTo(out.sourceLines) != 0) {
        return fail(failure, LoadStatus::kReadFailed, path);
    }

    int parseKind = kind;
    if (kind == kKind3B) {
        const bool translated = runParts(lines.count, workerCount(options, lines.count),
                                         [&lines](int begin, int end) {
                                             return translate3BLines(lines, begin, end) == 0;
                                         });
        if (!translated) return fail(failure, LoadStatus::kTranslateFailed, path);
        parseKind = kKindIso;
        // Most 3B lines take their ISO text in place, but the file's dropped lines and longer
        // rewrites still hold memory that the segments are about to need.
        lines.compact();
    }

    // Both the jump scan and the lead-out closing read every line; describe each once.
    std::vector<LineMotion> motion(static_cast<std::size_t>(lines.count));
    runParts(lines.count, workerCount(options, lines.count), [&](int begin, int end) {
        describeLines(lines, begin, end, motion.data());
        return true;
    });
    out.jumps.resize(kJumpTableCapacity);
    const int jumps = findJumpSegments(lines, motion.data(), out.jumps.data(), kJumpTableCapacity);
    if (jumps < 0) return fail(failure, LoadStatus::kTooManyJumps, path);
    out.jumps.resize(static_cast<std::size_t>(jumps));

    if (options.forceZero && (kind == kKindIso || kind == kKind3B)) {
        closeLeadOuts(lines, out.jumps.data(), jumps, motion.data());
    }
    motion = {};

    out.segments.assign(static_cast<std::size_t>(lines.count), CodeSegment{});
    const int failed = parseAllLines(lines, parseKind, options, out.segments);
    if (failed == -2) {
        failure.status = LoadStatus::kCancelled;
        failure.message.clear();
        return -1;
    }
    if (failed >= 0) return fail(failure, LoadStatus::kLineFailed, path, failed, lines.line(failed));

    out.switches.resize(kSwitchTableCapacity);
    const int switches = buildSwitchTable(lines, parseKind, out.segments.data(), lines.count,
                                          out.switches.data(), kSwitchTableCapacity);
    if (switches < 0) return fail(failure, LoadStatus::kTooManySwitches, path);
    out.switches.resize(static_cast<std::size_t>(switches));

    out.extents = programExtents(out.segments.data(), lines.count);
    out.totalSteps = 0;
    for (const CodeSegment& s : out.segments) out.totalSteps += s.lower.steps;
    out.lines = std::move(lines);
    return 0;
}

}  // namespace

std::string loadMessage(LoadStatus status, const char* path, int line, const char* lineText) {
    switch (status) {
    case LoadStatus::kOk: return "";
    case LoadStatus::kCannotOpen: return std::string("The following file can't be opened:\n") + path;
    case LoadStatus::kReadFailed: return "Code read failed!";
    case LoadStatus::kBadTaperHeader: return "Format error,invalid taper file!";
    case LoadStatus::kNoEnd: return "Code error:No end";
    case LoadStatus::kUnknownCode: return "Unknown Code";
    case LoadStatus::kFormatFailed: return "Format the codes failed";
    case LoadStatus::kTranslateFailed: return "3B translated failed!";
    case LoadStatus::kTooManyJumps: return "File is error or contained too many jump segments!";
    case LoadStatus::kLineFailed: {
        char head[32];
        std::snprintf(head, sizeof head, "File opened failed!\nCode:%3d  ", line);
        return std::string(head) + lineText + "\n";
    }
    case LoadStatus::kCancelled: return "";
    case LoadStatus::kTooManySwitches:
        return "File is error or contained too many switch-freq segments!";
    }
    return "";
}

namespace {

// The file's content becomes the line store: its lines are split in place.
int loadFromText(ProgramText&& text, const char* path, const LoadOptions& options,
                 LoadedProgram& out, LoadFailure& failure) {
    try {
        // The taper header is taken before the split writes the line ends over.
        std::string header;
        const bool hasHeaderLine = fileLineAt(text.view(), 1, header) == 0;
        // A ".3nb" name asks for the header; a two-contour multi-pass file carries it under any name.
        const bool taper =
            wantsTaperHeader(path) || (hasHeaderLine && header.rfind("Korvex -Version 2.0 -Type ZD", 0) == 0);
        ProgramLines lines;
        int fileLines = 0;
        if (splitProgramText(std::move(text), lines, kCodeLineFilter, &fileLines) < 0) {
            return fail(failure, LoadStatus::kReadFailed, path);
        }
        if (fileLines == 0) return fail(failure, LoadStatus::kCannotOpen, path);
        if (taper && readTaperHeader(hasHeaderLine ? &header : nullptr, path, out, failure) != 0) {
            return -1;
        }
        if (loadLines(lines, path, options, out, failure) != 0) {
            out = LoadedProgram{};
            return -1;
        }
        return 0;
    } catch (const std::bad_alloc&) {
        out = LoadedProgram{};
        return fail(failure, LoadStatus::kReadFailed, path);
    }
}

// Starts a load: clears the results and names the program.
void beginLoad(const char* path, LoadedProgram& out, LoadFailure& failure) {
    failure = LoadFailure{};
    out = LoadedProgram{};
    out.path = path;
}

// A file that could not be read: -1 from readProgramText (missing, not a regular file) is a
// file that can't be opened, -2 (read error, too large, no memory) a failed read.
int readFailure(int readResult, const char* path, LoadFailure& failure) {
    return fail(failure, readResult == -1 ? LoadStatus::kCannotOpen : LoadStatus::kReadFailed, path);
}

}  // namespace

int loadProgramText(const std::string& text, const char* path, const LoadOptions& options,
                    LoadedProgram& out, LoadFailure& failure) {
    beginLoad(path, out, failure);
    ProgramText copy;
    copy.data.reset(static_cast<char*>(std::malloc(text.size() + 1)));
    if (!copy.data) return fail(failure, LoadStatus::kReadFailed, path);
    std::memcpy(copy.data.get(), text.data(), text.size());
    copy.size = text.size();
    return loadFromText(std::move(copy), path, options, out, failure);
}

int loadProgram(const char* path, const LoadOptions& options, LoadedProgram& out,
                LoadFailure& failure) {
    beginLoad(path, out, failure);
    ProgramText text;
    if (const int r = readProgramText(path, text); r != 0) return readFailure(r, path, failure);
    return loadFromText(std::move(text), path, options, out, failure);
}

int loadProgramFile(int fd, const char* path, const LoadOptions& options, LoadedProgram& out,
                    LoadFailure& failure) {
    beginLoad(path, out, failure);
    ProgramText text;
    if (const int r = readProgramText(fd, text); r != 0) return readFailure(r, path, failure);
    return loadFromText(std::move(text), path, options, out, failure);
}

double pathLengthMm(const CodeSegment* segments, int count) {
    constexpr double kTwoPi = 6.283185307179586;
    double microns = 0;
    for (int i = 0; i < count; ++i) {
        const PathElement& e = segments[i].lower;
        if (e.kind == kElementLine || e.kind == kElementSwitch) {
            microns += std::hypot(static_cast<double>(e.endX), static_cast<double>(e.endY));
        } else if (e.isArc()) {
            // Sweep from start to end in the arc's direction; an end on the start is a full turn.
            const double a0 = std::atan2(static_cast<double>(e.startY), static_cast<double>(e.startX));
            const double a1 = std::atan2(static_cast<double>(e.endY), static_cast<double>(e.endX));
            double sweep = e.kind == kElementArcCcw ? a1 - a0 : a0 - a1;
            while (sweep <= 0) sweep += kTwoPi;
            if (e.startX == e.endX && e.startY == e.endY) sweep = kTwoPi;
            microns += sweep * std::sqrt(static_cast<double>(e.radiusSquared));
        }
    }
    return microns / 1000.0;
}

}  // namespace korvex
