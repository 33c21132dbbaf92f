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

// Scans for jump segments. Returns the number of entries, or -1 when a jump move lacks X or Y
// or there are more than `capacity` jumps.
int findJumpSegments(const ProgramLines& lines, JumpEntry* table, int capacity);

// Rewrites each contour's lead-out (a G01 line ending within 1 mm of the contour's start in both
// axes, strictly) so that it ends exactly on that start. Positions are summed in integer
// microns. Does nothing for programs of fewer than 5 lines or whose line 1 is neither G01 nor
// T17. Returns the number of lines rewritten (never fails).
int closeLeadOuts(ProgramLines& lines, const JumpEntry* jumps, int jumpCount);

}  // namespace korvex
