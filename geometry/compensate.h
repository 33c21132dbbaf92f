// The three steps that move a contour's elements beside it: compensate each element between
// its neighbours, connect neighbours whose offset geometries do not meet, and round the
// corners between lines. The multi-pass and taper generators call them too.
#pragma once

#include "geometry/equ.h"

namespace korvex {

// Fills e.compensated: e's offset line or circle, from its crossing with the predecessor's
// offset geometry (nearest the source start) to its crossing with the successor's (nearest the
// source end). A missing crossing leaves the sentinel for connectEqus. Returns 0, or -1 for an
// element that is not a line or arc, a crossing with bad parameters, or an arc whose offset
// shrinks it to its centre or past it.
int compensateEqus(const Equ& predecessor, Equ& e, const Equ& successor);

// Repairs a sentinel end of e: both are cut at the circle of radius |offset of e| around the
// source corner and joined by an arc on it. Returns 0 when they already meet (or the arc would
// be shorter than a micron), 1 with the arc in `connection`, -1 when they cannot be joined.
int connectEqus(Equ& e, Equ& successor, Equ& connection);

// Rounds the corner between two compensated lines with an arc of radius |offset|. Returns 0
// when no arc is made (not two lines, a lead-in or lead-out, lines running on straight, or an
// arc shorter than a micron), 1 with the arc in `arc`, -1 when the corner circle misses a line.
int roundCorner(Equ& e, Equ& successor, Equ& arc);

// True when the point is the no-crossing sentinel.
inline bool isSentinel(double x, double y) { return x == kNoCrossSentinel && y == kNoCrossSentinel; }

}  // namespace korvex
