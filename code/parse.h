// Line parsing into segment records (with step counting), the switch table and the extents.
#pragma once

#include <atomic>
#include <cstdint>

#include "code/lines.h"
#include "code/segment.h"

namespace korvex {

inline constexpr int kSwitchTableCapacity = 3000;

// Splits a two-contour line: the second part starts at the first "N" after the first ";".
// `firstLength` receives the length of the first part and `second` points into `line`. 0 or -1.
int splitTwoContourLine(const char* line, int& firstLength, const char*& second);

// Parses one program line of the given kind into `out` (cleared first). Kinds 1 and 4: one ISO
// statement into lower; 2: one 3B statement into lower; 3 and 5: two ISO statements into upper
// and lower, which must agree on kind 5. With `countSteps`, the steps of lower (and upper) are
// counted; an arc that has not reached its end after two turns fails the line. `cancel`, tested
// while counting, ends the count early with success. 0 or -1.
int parseLine(const char* line, int kind, CodeSegment& out, bool countSteps,
              const std::atomic<bool>* cancel = nullptr);

// Steps of an element as the step interpolator produces them from a fresh cursor. -1 when an
// arc has not reached its end after two turns (its end lies off its circle). Cancel ends early
// (returning the steps so far).
int64_t countElementSteps(const PathElement& e, const std::atomic<bool>* cancel = nullptr);

struct SwitchEntry {
    int32_t segment = 0;
    uint8_t e = 0, f = 0, l = 0, q = 0;
};

// Lists the "T17" group-switch segments in order (a G00 rapid move is not one; on a two-contour
// line the lower statement decides). Returns the number of entries, or -1 when more than
// `capacity`.
int buildSwitchTable(const ProgramLines& lines, int kind, const CodeSegment* segments, int count,
                     SwitchEntry* table, int capacity);

struct Extents {
    int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// A contour's current point while walking a program, in absolute microns.
struct ContourPoint {
    int64_t x = 0, y = 0;
};

// Adds the boxes of a segment's elements to `box` (arcs: the full circle; pause, empty and
// no-motion elements: the current point; lines and switches: start and end) and advances both
// contours' points by the elements' displacements. `first` starts a fresh box.
void addSegmentExtents(const CodeSegment& s, ContourPoint& upper, ContourPoint& lower,
                       Extents& box, bool& first);

// The union over a whole program, both contours starting at 0, 0. An empty program gives 0s.
Extents programExtents(const CodeSegment* segments, int count);

}  // namespace korvex
