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

#include <array>
#include <cstdint>
#include <vector>

#include "code/loader.h"
#include "code/parse.h"
#include "code/step.h"
#include "controller/link/records.h"
#include "geometry/guides.h"

namespace korvex {

// The taper values of a loaded program as the guide positions take them.
GuideGeometry guideGeometryOf(const LoadedProgram& program);

// Builds the work block of a fresh start at `segment`, forward (the elements' start offsets, no
// step done) or reverse (their end offsets, all steps done), with the guide positions of that
// point; bytes the card owns are 0. kGuidesOk, or the reason there is none: kGuidesOutOfRange
// ("Guide positions out of range, check the taper values!", string "tp-guides-range": the start
// is refused, never sent with a wrapped value), kGuidesBadTaper, kGuidesBadCursor.
int freshWorkParams(const LoadedProgram& program, int32_t segment, bool reverse, WorkParams& out);

// Return Origin's per-axis distances: the guides of `target` minus those of `here`. False when a
// difference does not fit in 32 bits.
bool returnDistances(const WorkParams& target, const WorkParams& here, std::array<int32_t, kAxisCount>& out);

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
