// What a start hands the card: the work parameter block of the point where the work starts, and
// the pulse parameter groups of that segment and of the one after it.
//
// Step cursors and guide positions. A work block holds, for the segment being cut, the step
// cursor of its lower and of its upper element (steps done and the in-segment position; for an
// arc the cursor is absolute in the arc's own frame, so its start offset is taken off), and the
// guide positions X, Y, U, V the card's axes stand at. Those are found from the absolute contour
// positions: the sum of the displacements of every segment before the current one, plus the
// in-segment position. A forward start stands at the start of the segment with no step done; a
// reverse start at its end with all its steps done.
#pragma once

#include <cstdint>
#include <vector>

#include "code/loader.h"
#include "code/parse.h"
#include "code/step.h"
#include "controller/link/records.h"

namespace korvex {

struct GuidePositions {
    int32_t x = 0, y = 0, u = 0, v = 0;
    int32_t rollerFraction = 0;  // thousandths of a micron dropped from X
};

// Guide positions at the cursors of segment `segment`. A two-contour program with a usable taper
// header (height and width above 0) turns the contour points into guide positions; any other
// program has X, Y on the lower and U, V on the upper contour.
GuidePositions guidePositions(const LoadedProgram& program, int32_t segment, const StepState& lower,
                              const StepState& upper);

// The work block of a fresh start at `segment`, forward or reverse. Bytes the card owns are 0.
WorkParams freshWorkParams(const LoadedProgram& program, int32_t segment, bool reverse);

// Pulse parameter groups of segment s, from the program's switch table.
struct GroupChoice {
    int current = 0;
    int next = 0;
};
GroupChoice lookupGroups(const std::vector<SwitchEntry>& table, int32_t s, int defaultGroup);

// Whether the operator must clean the workspace at the group switch of segment s: the L byte of
// the switch entry decides when no entry of the table has a Q above 0, else its Q byte; 1 means
// intervene. The entry is the one at s, else the nearest before s in the running direction.
bool operatorMustIntervene(const std::vector<SwitchEntry>& table, int32_t s, bool reverse);

}  // namespace korvex
