#include "geometry/compensate.h"

#include <cmath>

#include "code/segment.h"
#include "geometry/cross.h"
#include "geometry/trace.h"

namespace korvex {
namespace {

// Two lines whose slopes differ by less than this run on straight: no corner to round.
constexpr double kParallelSlope = 0.001;

bool isCutting(const EquHalf& h) { return h.kind == kEquLine || h.isArc(); }

// Crosses the offset geometries of a and b (a's source with a.offset, b's with b.offset).
int crossOffsetGeometries(const Equ& a, const Equ& b, const GeoPoint& reference, GeoPoint& p) {
    GeoPoint p2;
    const EquHalf& ha = a.source;
    const EquHalf& hb = b.source;
    if (ha.kind == kEquLine && hb.kind == kEquLine)
        return crossLineLine(lineOf(ha), a.offset, lineOf(hb), b.offset, p);
    if (ha.kind == kEquLine)
        return crossLineCircle(lineOf(ha), a.offset, circleOf(hb), b.offset, &reference, p, p2);
    if (hb.kind == kEquLine)
        return crossLineCircle(lineOf(hb), b.offset, circleOf(ha), a.offset, &reference, p, p2);
    return crossCircleCircle(circleOf(ha), a.offset, circleOf(hb), b.offset, &reference, p, p2);
}

// Where e's offset geometry passes the source point `at` when its neighbour coincides with it:
// the foot of the perpendicular through `at` for a line, the point on the ray from the centre
// through `at` for an arc.
int coincidentJoint(const Equ& e, const GeoPoint& at, GeoPoint& p) {
    const EquHalf& h = e.source;
    if (h.kind == kEquLine) {
        GeoLine normal;
        if (h.lineA == 0) {
            normal = {1, 0, at.y};
        } else if (h.lineB == 0) {
            normal = {0, 1, -at.x};
        } else {
            const double slope = -h.lineA / h.lineB;
            normal = {1, slope, at.y - slope * at.x};
        }
        return crossLineLine(lineOf(h), e.offset, normal, 0, p);
    }
    GeoLine radial;
    if (h.centreX == at.x) {
        radial = {0, 1, -at.x};
    } else {
        const double slope = (at.y - h.centreY) / (at.x - h.centreX);
        radial = {1, slope, at.y - slope * at.x};
    }
    GeoPoint p2;
    return crossLineCircle(radial, 0, circleOf(h), e.offset, &at, p, p2);
}

// The compensated start or end of e: the crossing of `first` and `second` (e and a neighbour,
// in the order of travel) nearest the source corner `at`, or the sentinel when there is none.
int compensatedJoint(const Equ& first, const Equ& second, const Equ& e, const GeoPoint& at,
                     const char* noCrossText, GeoPoint& p) {
    int result = crossOffsetGeometries(first, second, at, p);
    const bool bothLines = first.source.kind == kEquLine && second.source.kind == kEquLine;
    if (result == kCrossInfinite && (bothLines || (first.source.isArc() && second.source.isArc())))
        result = coincidentJoint(e, at, p);
    switch (result) {
    case kCrossNone:
        geometryTrace("%s", noCrossText);
        p = {kNoCrossSentinel, kNoCrossSentinel};
        return 0;
    case kCrossOne:
    case kCrossTwo:
        return 0;
    default:
        geometryTrace("CROSS FAILED!\n");
        return -1;
    }
}

// The crossing of e's compensated line or circle with the circle `around`, nearest `reference`.
int crossWithCircle(const EquHalf& h, const GeoCircle& around, const GeoPoint& reference, GeoPoint& p) {
    GeoPoint p2;
    const int result = h.kind == kEquLine
                           ? crossLineCircle(lineOf(h), 0, around, 0, &reference, p, p2)
                           : crossCircleCircle(circleOf(h), 0, around, 0, &reference, p, p2);
    return result == kCrossOne ? 0 : -1;
}

// An arc whose written X and Y would both be 0 reads back as a full circle.
bool shorterThanMicron(const GeoPoint& a, const GeoPoint& b) {
    return roundMicron(a.x * 1000.0) == roundMicron(b.x * 1000.0) &&
           roundMicron(a.y * 1000.0) == roundMicron(b.y * 1000.0);
}

Equ arcElement(int32_t kind, const GeoPoint& centre, double radius, const GeoPoint& from,
               const GeoPoint& to) {
    Equ arc;
    EquHalf& h = arc.source;
    h.kind = kind;
    h.centreX = centre.x;
    h.centreY = centre.y;
    h.radius = radius;
    h.startX = from.x;
    h.startY = from.y;
    h.endX = to.x;
    h.endY = to.y;
    arc.compensated = h;
    return arc;
}

int32_t oppositeTurn(int32_t kind) { return kind == kEquArcCw ? kEquArcCcw : kEquArcCw; }

}  // namespace

int compensateEqus(const Equ& predecessor, Equ& e, const Equ& successor) {
    if (!isCutting(e.source) || !isCutting(predecessor.source) || !isCutting(successor.source)) {
        geometryTrace("UNKNOW TYPE\n");
        return -1;
    }
    // An offset that shrinks an arc to its centre or past it would mirror the circle to the far
    // side of the centre and put the wire into the part.
    for (const Equ* arc : {&predecessor, static_cast<const Equ*>(&e), &successor}) {
        if (arc->source.isArc() && !(arc->source.radius + arc->offset > 0)) {
            geometryTrace("ARC SMALLER THAN OFFSET! R=%f\n", arc->source.radius);
            return -1;
        }
    }
    const EquHalf& src = e.source;
    GeoPoint start, end;
    if (compensatedJoint(predecessor, e, e, {src.startX, src.startY}, "START POINT NO_CROSS!\n", start) < 0)
        return -1;
    if (compensatedJoint(e, successor, e, {src.endX, src.endY}, "END POINT NO_CROSS!\n", end) < 0)
        return -1;

    EquHalf& c = e.compensated;
    c = src;
    if (src.kind == kEquLine) {
        const GeoLine moved = offsetLine(lineOf(src), e.offset);
        c.lineA = moved.a;
        c.lineB = moved.b;
        c.lineC = moved.c;
    } else {
        c.radius = offsetCircle(circleOf(src), e.offset).r;
    }
    c.startX = start.x;
    c.startY = start.y;
    c.endX = end.x;
    c.endY = end.y;
    return 0;
}

int connectEqus(Equ& e, Equ& successor, Equ& connection) {
    EquHalf& ce = e.compensated;
    EquHalf& cs = successor.compensated;
    if (!isSentinel(ce.endX, ce.endY)) return 0;
    if (ce.kind == kEquLine && cs.kind == kEquLine) return -1;  // parallel lines never meet

    int32_t kind;
    if (ce.kind == kEquLine) {
        kind = oppositeTurn(cs.kind);
    } else if (cs.kind == kEquLine) {
        kind = oppositeTurn(ce.kind);
    } else {
        if (ce.kind != cs.kind) return -1;
        kind = oppositeTurn(ce.kind);
    }
    const GeoPoint corner{e.source.endX, e.source.endY};
    const double radius = std::fabs(e.offset);
    const GeoCircle around{corner.x, corner.y, radius};
    GeoPoint end, start;
    if (crossWithCircle(ce, around, corner, end) < 0 || crossWithCircle(cs, around, corner, start) < 0)
        return -1;
    ce.endX = end.x;
    ce.endY = end.y;
    if (shorterThanMicron(end, start)) {
        cs.startX = end.x;
        cs.startY = end.y;
        return 0;
    }
    cs.startX = start.x;
    cs.startY = start.y;
    connection = arcElement(kind, corner, radius, end, start);
    return 1;
}

int roundCorner(Equ& e, Equ& successor, Equ& arc) {
    EquHalf& ce = e.compensated;
    EquHalf& cs = successor.compensated;
    if (ce.kind != kEquLine || cs.kind != kEquLine) return 0;
    // The lead-in and the lead-out are not compensated and get no corner arc.
    if (e.offset == 0 || successor.offset == 0) return 0;

    const double dx1 = e.source.endX - e.source.startX, dy1 = e.source.endY - e.source.startY;
    const double dx2 = successor.source.endX - successor.source.startX;
    const double dy2 = successor.source.endY - successor.source.startY;
    const bool parallel = (ce.lineA == 0 && cs.lineA == 0) ||
                          (ce.lineA != 0 && cs.lineA != 0 && std::fabs(ce.lineB - cs.lineB) < kParallelSlope);
    if (parallel && dx1 * dx2 + dy1 * dy2 > 0) return 0;

    const double turn = dx1 * dy2 - dy1 * dx2;  // > 0: the contour turns left
    const double requested = requestedOffset(e);
    const double radius = std::fabs(requested);
    const GeoPoint corner{e.source.endX, e.source.endY};
    // On the outside of the turn the arc runs round the source corner. On the inside the
    // compensated lines cross before the corner; the arc that rounds that crossing is centred
    // on the corner reflected through it, which lies |offset| from both lines as well.
    GeoPoint centre = corner;
    const bool inside = requested * turn < 0;
    if (inside) centre = {2 * ce.endX - corner.x, 2 * ce.endY - corner.y};

    const GeoCircle around{centre.x, centre.y, radius};
    GeoPoint end, start;
    if (crossWithCircle(ce, around, corner, end) < 0 || crossWithCircle(cs, around, corner, start) < 0)
        return -1;
    if (shorterThanMicron(end, start)) return 0;  // the corner stays as the crossing made it
    ce.endX = end.x;
    ce.endY = end.y;
    cs.startX = start.x;
    cs.startY = start.y;
    arc = arcElement(turn > 0 ? kEquArcCcw : kEquArcCw, centre, radius, end, start);
    return 1;
}

}  // namespace korvex
