// Jump segments (pause, straight move, pause: the move between two contours of one program)
// and lead-out closing (force-zero), which makes each contour's last straight move end exactly
// where the contour began.
#pragma once

#include <cstdint>

#include "code/lines.h"

namespace korvex {

inline constexpr int kJumpTableCapacity = 500;

struct JumpEntry {
    int32_t line = 0;  // index of the jump's G01 line
    double x = 0;      // cumulative offset of this jump and all before it, millimetres
    double y = 0;
};

// What the jump scan and lead-out closing read of each line, worked out once per line (the
// loader does it for parts of a large program side by side).
struct LineMotion {
    static constexpr uint8_t kHasM00 = 1;   // the text holds "M00"
    static constexpr uint8_t kHasG01 = 2;   // the text holds "G01"
    static constexpr uint8_t kIsG01 = 4;    // the line parses as a G01 statement
    uint8_t flags = 0;
    int32_t dx = 0, dy = 0;  // X, Y of a line that parses as a move (G00..G03), microns; else 0
};

// Fills motion[i] for the lines [begin, end).
void describeLines(const ProgramLines& lines, int begin, int end, LineMotion* motion);

// Scans for jump segments. Returns the number of entries, or -1 when a jump move lacks X or Y
// or there are more than `capacity` jumps.
int findJumpSegments(const ProgramLines& lines, JumpEntry* table, int capacity);
// The same with the lines already described.
int findJumpSegments(const ProgramLines& lines, const LineMotion* motion, JumpEntry* table,
                     int capacity);

// Rewrites each contour's lead-out (a G01 line ending within 1 mm of the contour's start in both
// axes, strictly) so that it ends exactly on that start. Positions are summed in integer
// microns. Does nothing for programs of fewer than 5 lines or whose line 1 is neither G01 nor
// T17. Returns the number of lines rewritten (never fails).
int closeLeadOuts(ProgramLines& lines, const JumpEntry* jumps, int jumpCount);
// The same with the lines already described; a rewritten line's description is updated.
int closeLeadOuts(ProgramLines& lines, const JumpEntry* jumps, int jumpCount, LineMotion* motion);

}  // namespace korvex
