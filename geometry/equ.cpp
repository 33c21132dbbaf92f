#include "geometry/equ.h"

#include <cmath>
#include <cstdint>

#include "code/segment.h"
#include "geometry/cross.h"

namespace korvex {

double storedOffset(const EquHalf& e, double requested) {
    if (requested == 0) return 0;
    if (e.isArc()) return e.kind == kEquArcCw ? -requested : requested;
    const double dx = e.endX - e.startX;
    const double dy = e.endY - e.startY;
    // Travelling down, or along +x, the normalised constant must fall to move the line right.
    return (dy < 0 || (dy == 0 && dx > 0)) ? -requested : requested;
}

double requestedOffset(const Equ& e) {
    // The sign table is its own inverse.
    return storedOffset(e.source, e.offset);
}

int statementToEqu(const IsoStatement& s, double startX, double startY, double requested,
                   Equ& out) {
    out = Equ{};
    EquHalf& h = out.source;
    h.kind = kEquNone;
    h.startX = h.endX = startX;
    h.startY = h.endY = startY;
    switch (s.code) {
    case IsoCode::kM00:
        h.kind = kEquPause;
        return -1;
    case IsoCode::kT17:
        h.kind = kEquSwitch;
        h.groupE = s.e;
        h.groupF = s.f;
        h.groupL = s.l;
        h.groupQ = s.q;
        return -1;
    case IsoCode::kG00: h.kind = kEquRapid; break;
    case IsoCode::kG01: h.kind = kEquLine; break;
    case IsoCode::kG02: h.kind = kEquArcCw; break;
    case IsoCode::kG03: h.kind = kEquArcCcw; break;
    default: return -1;
    }
    h.endX = startX + s.x / 1000.0;
    h.endY = startY + s.y / 1000.0;
    if (h.isLine()) {
        if (s.x == 0) {
            h.lineA = 0;
            h.lineB = 1;
            h.lineC = -startX;
        } else if (s.y != 0) {
            h.lineA = 1;
            h.lineB = static_cast<double>(s.y) / s.x;
            h.lineC = startY - startX * h.lineB;
        } else {
            h.lineA = 1;
            h.lineB = 0;
            h.lineC = startY;
        }
    } else {
        h.centreX = startX + s.i / 1000.0;
        h.centreY = startY + s.j / 1000.0;
        h.radius = std::hypot(static_cast<double>(s.i), static_cast<double>(s.j)) / 1000.0;
    }
    out.offset = storedOffset(h, requested);
    return 0;
}

namespace {

GeoPoint refinedCentre(const EquHalf& h) {
    const double chordX = h.endX - h.startX, chordY = h.endY - h.startY;
    const double chord = std::hypot(chordX, chordY);
    if (!(chord > 0) || !(h.radius > 0)) return {h.centreX, h.centreY};  // full circle: keep
    const GeoPoint mid{(h.startX + h.endX) / 2, (h.startY + h.endY) / 2};
    const double half = chord / 2;
    const double rise = std::sqrt(std::fmax(0.0, h.radius * h.radius - half * half));
    // Unit normal of the chord towards the stored centre.
    GeoPoint n{-chordY / chord, chordX / chord};
    if ((h.centreX - mid.x) * n.x + (h.centreY - mid.y) * n.y < 0) n = {-n.x, -n.y};
    return {mid.x + rise * n.x, mid.y + rise * n.y};
}

// The statement value from `from` (microns) to the absolute `mm`; false when it does not fit.
bool micronDifference(double mm, int32_t from, int32_t& out) {
    if (!(std::fabs(mm) <= kMaxCoordinateMm)) return false;
    const int64_t value = static_cast<int64_t>(roundMicron(mm * 1000.0)) - from;
    if (value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<int32_t>(value);
    return true;
}

}  // namespace

int equToStatement(const Equ& e, int32_t fromX, int32_t fromY, IsoStatement& out) {
    out = IsoStatement{};
    const EquHalf& h = e.compensated;
    switch (h.kind) {
    case kEquPause:
        out.code = IsoCode::kM00;
        return 0;
    case kEquSwitch:
        out.code = IsoCode::kT17;
        out.e = static_cast<uint8_t>(h.groupE);
        out.f = static_cast<uint8_t>(h.groupF);
        out.l = static_cast<uint8_t>(h.groupL);
        out.q = static_cast<uint8_t>(h.groupQ);
        return 0;
    case kEquRapid: out.code = IsoCode::kG00; break;
    case kEquLine: out.code = IsoCode::kG01; break;
    case kEquArcCw: out.code = IsoCode::kG02; break;
    case kEquArcCcw: out.code = IsoCode::kG03; break;
    default: return -1;
    }
    // Absolute points are rounded and the statement is their difference, so rounding never
    // accumulates along the program and the lead-out lands on the micron it was aimed at.
    if (!micronDifference(h.endX, fromX, out.x) || !micronDifference(h.endY, fromY, out.y)) return -1;
    if (h.isArc()) {
        // The centre on which both ends lie exactly: the crossing of the circles of the arc's
        // radius round its start and its end, on the side of the stored centre. It is taken
        // without the crossing's tangent tolerance, and only when it stays within that
        // tolerance of the stored centre: for an arc of nearly half a circle a micron at its
        // ends moves that crossing far more than a micron, and the stored centre is then the
        // truer arc.
        GeoPoint centre = refinedCentre(h);
        if (std::hypot(centre.x - h.centreX, centre.y - h.centreY) >= kCrossTolerance)
            centre = {h.centreX, h.centreY};
        if (!micronDifference(centre.x, fromX, out.i) || !micronDifference(centre.y, fromY, out.j)) return -1;
    }
    return 0;
}

GeoLine offsetLine(GeoLine line, double d) {
    if (line.a == 0) {
        line.c -= line.b * d;  // x = -C/B moves by +d
        return line;
    }
    line.b /= line.a;
    line.c /= line.a;
    line.a = 1;
    // A perpendicular shift of |d| is a vertical shift of |d|*sqrt(1 + B^2).
    const double shift = std::sqrt(d * d + (line.b * d) * (line.b * d));
    if (line.b == 0) {
        line.c += d;
    } else if (line.b * d > 0) {
        line.c -= shift;
    } else {
        line.c += shift;
    }
    return line;
}

GeoCircle offsetCircle(GeoCircle circle, double d) {
    circle.r = std::fabs(circle.r + d);
    return circle;
}

}  // namespace korvex
