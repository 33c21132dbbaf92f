// Program kind detection and normalisation into numbered code lines.
#pragma once

#include "code/lines.h"

namespace korvex {

enum ProgramKind : int {
    kKindIso = 1,                   // ISO program, one contour
    kKind3B = 2,                    // 3B program
    kKindTwoContour = 3,            // two programs per line (upper and lower contour, taper)
    kKindIsoSwitches = 4,           // ISO program with "T17" group switches
    kKindTwoContourSwitches = 5,    // two-contour program with "T17" group switches
    kKindIsoNoEnd = 11,             // ISO program whose last line lacks "M02"
    kKind3BNoEnd = 12,              // 3B program whose last line lacks an end
    kKindUnknown = 13,              // not recognised
};

inline bool isTwoContourKind(int kind) {
    return kind == kKindTwoContour || kind == kKindTwoContourSwitches;
}

// Detects the kind from the content. A 3B program whose last line ends in a single "D" has that
// line completed to "DD" (this is the only change made to the lines).
ProgramKind detectProgramKind(ProgramLines& lines);

// The header line that replaces everything before the first 3B statement.
inline constexpr const char* k3BStartLine = "Start Point32  =  0, 0;      X, Y\n";

// Drops the lines before the program proper. ISO kinds (1, 3, 4, 5): everything before the first
// line holding both "N" and "G92". 3B (2): everything before the first line holding "B ", put in
// place by the start line above. Updates lines.count. 0 or -1.
int normaliseProgram(ProgramLines& lines, int kind);

}  // namespace korvex
