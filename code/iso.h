// ISO statements: the grammar of one numbered line and its conversion into an element.
// The dialect is incremental: X, Y of a move are the displacement from its start point, and
// I, J of an arc are the centre relative to the start point.
#pragma once

#include <cstdint>

#include "code/marks.h"
#include "code/segment.h"

namespace korvex {

enum class IsoCode : uint8_t { kNone, kM00, kM02, kG91, kG92, kT17, kG00, kG01, kG02, kG03 };

struct IsoStatement {
    IsoCode code = IsoCode::kNone;
    int32_t x = 0, y = 0;   // microns, G00..G03
    int32_t i = 0, j = 0;   // microns, G02/G03
    uint8_t e = 0, f = 0, l = 0, q = 0;  // T17 group digits
};

// "M00", "G01", ... ("" for kNone).
const char* isoCodeName(IsoCode code);

// Parses one ISO line; the text is not changed. 0 or -1 (the line does not follow the grammar).
int parseIsoStatement(const char* line, IsoStatement& out);
// The same when the line's markers are already known (scanMarks of the same line).
int parseIsoStatement(const char* line, const LineMarks& marks, IsoStatement& out);

// The element of a parsed statement (cleared first; steps left 0).
PathElement isoStatementToElement(const IsoStatement& s);

// True when the line is a "T17" pulse-group switch statement (not a G00 rapid move, which is
// also an element of kind 5).
bool isGroupSwitchStatement(const char* line);

}  // namespace korvex
