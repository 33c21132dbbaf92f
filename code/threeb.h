// 3B statements: "B x B y B J G Z" in integer microns, their elements (with the arc end-point
// rule), and the translation of a normalised 3B program into numbered ISO lines.
#pragma once

#include <cstdint>

#include "code/lines.h"
#include "code/segment.h"

namespace korvex {

enum class ThreeBFamily : uint8_t { kLine, kClockwise, kCounterClockwise };

struct ThreeBStatement {
    int32_t x = 0, y = 0, j = 0;  // microns, as written
    bool countAlongY = false;     // "GY" (else "GX")
    ThreeBFamily family = ThreeBFamily::kLine;
    int quadrant = 1;             // 1..4 (L1..L4, SR1..SR4, NR1..NR4)
};

// Parses one 3B line; text before the first "B" and after the code is ignored. 0 or -1.
int parse3BStatement(const char* line, ThreeBStatement& out);

// The element of a statement: pause, line, or arc with its end point found by travelling J
// along the count axis from the start. Steps are left 0.
PathElement threeBToElement(const ThreeBStatement& s);

// End point (relative to the centre) of an arc starting at (startX, startY) relative to its
// centre, radius R (rounded) and squared radius r2, travelling `travel` microns along the count
// axis in the given direction. A travel beyond a full circle (4R) ends on the start.
// `quadrant` (1..4) is the one the start lies in, as the statement's code names it (a start on an
// axis belongs to either neighbour).
void arcEndPoint(int32_t startX, int32_t startY, int quadrant, int32_t radius,
                 int64_t radiusSquared, bool clockwise, bool countAlongY, int64_t travel,
                 int32_t& endX, int32_t& endY);

// Rewrites every line of a normalised 3B program as an ISO line numbered by its index. 0, or -1
// when a statement does not parse (lines before it are already rewritten).
int translate3BToIso(ProgramLines& lines);
// The same for lines [begin, end) only: lines depend on nothing but their own text and index,
// so parts of a program can be translated side by side.
int translate3BLines(ProgramLines& lines, int begin, int end);

}  // namespace korvex
