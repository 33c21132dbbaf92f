// Loading a code file without a card: the steps the controller runs before it tells the card
// that a program is loaded, in the same order and with the same messages.
//
//   read ("GDMT" filter) -> taper header (.3nb) -> kind -> normalise -> source copy (optional)
//   -> 3B to ISO -> jump segments (500) -> lead-out closing (kinds 1 and 2)
//   -> every line to a segment with its steps (cancellable, with progress)
//   -> switch table (3000) -> extents
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "code/jumps.h"
#include "code/kind.h"
#include "code/lines.h"
#include "code/parse.h"
#include "code/segment.h"

namespace korvex {

enum class LoadStatus {
    kOk = 0,
    kCannotOpen,        // "The following file can't be opened:\n%s" (also: no line at all)
    kReadFailed,        // "Code read failed!"
    kBadTaperHeader,    // "Format error,invalid taper file!"
    kNoEnd,             // "Code error:No end"
    kUnknownCode,       // "Unknown Code"
    kFormatFailed,      // "Format the codes failed"
    kTranslateFailed,   // "3B translated failed!"
    kTooManyJumps,      // "File is error or contained too many jump segments!"
    kLineFailed,        // "File opened failed!\nCode:%3d  %s\n"
    kCancelled,         // the operator cancelled; no message
    kTooManySwitches,   // "File is error or contained too many switch-freq segments!"
};

struct LoadOptions {
    bool forceZero = true;      // false acts like the setting NoForceZero=1
    bool countSteps = true;
    bool keepSourceLines = false;  // fill LoadedProgram::sourceLines (a copy of the lines)
    int threads = 0;            // workers for the line parsing; 0 = one per core
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(int percent)> progress;  // called on the loading thread
};

// Taper header of a ".3nb" file, scaled as the card expects it.
struct TaperHeader {
    bool present = false;
    int32_t heightX10 = 0, widthX10 = 0, baseX10 = 0, radiusX10 = 0, angleX1000 = 0;
};

struct LoadedProgram {
    std::string path;
    int kind = 0;                       // as detected (2 for a 3B file)
    ProgramLines lines;                 // the code lines the segments were parsed from
    ProgramLines sourceLines;           // the normalised lines before 3B translation, when asked
    std::vector<CodeSegment> segments;  // parallel to lines
    std::vector<JumpEntry> jumps;
    std::vector<SwitchEntry> switches;
    Extents extents;
    int64_t totalSteps = 0;             // sum of lower.steps
    TaperHeader taper;
};

struct LoadFailure {
    LoadStatus status = LoadStatus::kOk;
    int line = -1;                      // failing line for kLineFailed
    std::string message;                // the operator's English message ("" when cancelled)
};

// Runs the load. 0 on success; -1 with `failure` filled otherwise (nothing of `out` is valid).
// Only a regular file is read: a FIFO, device or directory "can't be opened".
int loadProgram(const char* path, const LoadOptions& options, LoadedProgram& out,
                LoadFailure& failure);

// The same on a file already open (read from its start, whatever its offset); `path` names the
// file in messages and decides on the taper header. Only a regular file is read.
int loadProgramFile(int fd, const char* path, const LoadOptions& options, LoadedProgram& out,
                    LoadFailure& failure);

// The same on file content already in memory; `path` only names the file in messages and
// decides on the taper header.
int loadProgramText(const std::string& text, const char* path, const LoadOptions& options,
                    LoadedProgram& out, LoadFailure& failure);

// The English message of a status ("%s" and "%3d" filled from `path`, `line`, `lineText`).
std::string loadMessage(LoadStatus status, const char* path, int line, const char* lineText);

// Geometric length of the lower contour's motion (lines, arcs and rapid moves), millimetres.
double pathLengthMm(const CodeSegment* segments, int count);

}  // namespace korvex
