// Real-valued elements: the line or circle of one statement, its absolute end points in
// millimetres and its signed offset. The wire offset, multi-pass and taper generators work on
// these rather than on integer segments, because offset lines and circles must be crossed
// exactly and only the final program is rounded back to microns.
#pragma once

#include <cstdint>

#include "code/iso.h"

namespace korvex {

// Kinds of an element half.
enum EquKind : int32_t {
    kEquNone = -1,     // a statement that is not a move, pause or switch (G92, M02, ...)
    kEquRapid = 0,     // G00
    kEquLine = 1,      // G01
    kEquArcCw = 2,     // G02
    kEquArcCcw = 3,    // G03
    kEquSwitch = 14,   // T17 group switch
    kEquPause = 15,    // M00
};

// A compensated start or end point for which no crossing exists; the connection step
// recognises it and repairs the corner.
inline constexpr double kNoCrossSentinel = 9999.999;

// One geometric element, absolute millimetres.
// Line: lineA*y = lineB*x + lineC; either lineA = 1 and lineB is the slope, or lineA = 0 and
// lineB = 1 (the vertical line x = -lineC).
struct EquHalf {
    int32_t kind = kEquLine;
    int32_t groupE = 0, groupF = 0, groupL = 0, groupQ = 0;
    double lineA = 0, lineB = 0, lineC = 0;
    double centreX = 0, centreY = 0, radius = 0;
    double startX = 0, startY = 0;
    double endX = 0, endY = 0;

    bool isLine() const { return kind == kEquLine || kind == kEquRapid; }
    bool isArc() const { return kind == kEquArcCw || kind == kEquArcCcw; }
};

// The source element, its compensated twin, and the offset stored as a shift of the source's
// equation (see storedOffset).
struct Equ {
    EquHalf source;
    EquHalf compensated;
    double offset = 0;
};

// The shift of the element's equation that moves it by `requested` mm to the right of its
// direction of travel. Lines are shifted along their normalised constant and arcs in radius,
// so the sign depends on the direction: a clockwise arc's radius shrinks, a counter-clockwise
// one grows.
double storedOffset(const EquHalf& e, double requested);
// The inverse: the distance to the right of travel that the stored offset gives.
double requestedOffset(const Equ& e);

// Builds the source half of a statement that starts at (startX, startY) mm, with the offset
// for `requested` stored. Returns 0; -1 for a pause or switch (still filled, start = end) and
// for a statement that is not a move.
int statementToEqu(const IsoStatement& s, double startX, double startY, double requested,
                   Equ& out);

// Largest absolute coordinate written back into a statement, mm: keeps every value and every
// difference of two of them inside 32-bit microns.
inline constexpr double kMaxCoordinateMm = 1.0e6;

// The statement of the compensated half, in microns relative to (fromX, fromY), the integer
// position where the previous written statement ended. An arc's centre is first refined so
// that its start and end lie on the same circle. Returns 0, or -1 for a kind outside the table
// or a point beyond kMaxCoordinateMm.
int equToStatement(const Equ& e, int32_t fromX, int32_t fromY, IsoStatement& out);

struct GeoLine { double a = 0, b = 0, c = 0; };
struct GeoCircle { double x = 0, y = 0, r = 0; };
struct GeoPoint { double x = 0, y = 0; };

// The line normalised (lineA 1 or 0) and moved by the stored offset `d`.
GeoLine offsetLine(GeoLine line, double d);
// The circle with radius |r + d|.
GeoCircle offsetCircle(GeoCircle circle, double d);

inline GeoLine lineOf(const EquHalf& e) { return {e.lineA, e.lineB, e.lineC}; }
inline GeoCircle circleOf(const EquHalf& e) { return {e.centreX, e.centreY, e.radius}; }

}  // namespace korvex
