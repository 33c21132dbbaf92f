// Crossings of offset lines and circles, with the tolerances the compensation relies on:
// lines or circles closer than kCrossTolerance are one and the same, and a line or circle that
// misses another by less than it touches it.
#pragma once

#include "geometry/equ.h"

namespace korvex {

enum CrossResult : int {
    kCrossError = -1,    // bad parameters
    kCrossNone = 0,      // no crossing
    kCrossOne = 1,       // one point: a tangent, or the chosen one of two
    kCrossTwo = 2,       // two points, no reference point given
    kCrossInfinite = 3,  // coincident
};

// Distance below which parallel lines coincide, a line touches a circle, circles are
// concentric or touch (mm).
inline constexpr double kCrossTolerance = 0.0011;
// Slopes and constants closer than this make two lines the same line (mm, and mm per mm).
inline constexpr double kLineSameTolerance = 0.0001;

// Each operation applies the given offsets first (offsetLine, offsetCircle). With a reference
// point and two crossings, p1 becomes the chosen one: the nearer to the reference when every
// circle's radius plus offset is positive, else the farther, and the result is kCrossOne.
// Without one, p1 is the point of the positive square root: the larger x, or the larger y when
// the crossings lie one above the other.
int crossLineLine(GeoLine l1, double offset1, GeoLine l2, double offset2, GeoPoint& p);
int crossLineCircle(GeoLine line, double lineOffset, GeoCircle circle, double circleOffset,
                    const GeoPoint* reference, GeoPoint& p1, GeoPoint& p2);
int crossCircleCircle(GeoCircle c1, double offset1, GeoCircle c2, double offset2,
                      const GeoPoint* reference, GeoPoint& p1, GeoPoint& p2);

}  // namespace korvex
