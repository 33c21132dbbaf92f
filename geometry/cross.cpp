#include "geometry/cross.h"

#include <cmath>
#include <utility>

#include "geometry/trace.h"

namespace korvex {
namespace {

int traced(int result, const GeoPoint& p1, const GeoPoint& p2) {
    switch (result) {
    case kCrossNone: geometryTrace("Cross No\n"); break;
    case kCrossOne: geometryTrace("Cross One: x=%f, y=%f\n", p1.x, p1.y); break;
    case kCrossTwo:
        geometryTrace("Cross Two: x1=%f, y1=%f;  x2=%f, y2=%f\n", p1.x, p1.y, p2.x, p2.y);
        break;
    case kCrossInfinite: geometryTrace("Cross INFINITE\n"); break;
    default: geometryTrace("Cross Error\n"); break;
    }
    return result;
}

double squaredDistance(const GeoPoint& a, const GeoPoint& b) {
    return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

// Picks p1 out of two crossings. A circle whose offset turned it inside out (radius plus offset
// not positive) takes the farther point.
int choose(int result, const GeoPoint* reference, bool nearer, GeoPoint& p1, GeoPoint& p2) {
    if (result != kCrossTwo || reference == nullptr) return result;
    const double d1 = squaredDistance(p1, *reference);
    const double d2 = squaredDistance(p2, *reference);
    if (nearer ? d1 > d2 : d1 < d2) std::swap(p1, p2);
    return kCrossOne;
}

}  // namespace

int crossLineLine(GeoLine l1, double offset1, GeoLine l2, double offset2, GeoPoint& p) {
    geometryTrace("LINE LINE CROSS:\n");
    p = {};
    if (l1.a == 0 && l1.b == 0) {
        geometryTrace("line_equ1's para is error\n");
        return traced(kCrossError, p, p);
    }
    if (l2.a == 0 && l2.b == 0) {
        geometryTrace("line_equ2's para is error\n");
        return traced(kCrossError, p, p);
    }
    l1 = offsetLine(l1, offset1);
    l2 = offsetLine(l2, offset2);
    int result;
    if (l1.a == 0 && l2.a == 0) {
        result = std::fabs(l1.c / l1.b - l2.c / l2.b) >= kCrossTolerance ? kCrossNone : kCrossInfinite;
    } else if (l1.a != 0 && l2.a != 0) {
        if (l1.b == l2.b) {
            result = std::fabs(l1.c - l2.c) >= kCrossTolerance ? kCrossNone : kCrossInfinite;
        } else if (std::fabs(l1.b - l2.b) >= kLineSameTolerance ||
                   std::fabs(l1.c - l2.c) >= kLineSameTolerance) {
            p.x = (l2.c - l1.c) / (l1.b - l2.b);
            p.y = l1.b * p.x + l1.c;
            result = kCrossOne;
        } else {
            result = kCrossInfinite;
        }
    } else {
        const GeoLine& vertical = l1.a == 0 ? l1 : l2;
        const GeoLine& other = l1.a == 0 ? l2 : l1;
        p.x = -vertical.c / vertical.b;
        p.y = other.b * p.x + other.c;
        result = kCrossOne;
    }
    return traced(result, p, p);
}

int crossLineCircle(GeoLine line, double lineOffset, GeoCircle circle, double circleOffset,
                    const GeoPoint* reference, GeoPoint& p1, GeoPoint& p2) {
    geometryTrace("LINE CIRCULAR CROSS:\n");
    p1 = p2 = {};
    if (line.a == 0 && line.b == 0) {
        geometryTrace("line_equ's para is error\n");
        return traced(kCrossError, p1, p2);
    }
    if (!(circle.r > 0)) {
        geometryTrace("circular_equ's para is error\n");
        return traced(kCrossError, p1, p2);
    }
    const bool grows = circle.r + circleOffset > 0;
    circle = offsetCircle(circle, circleOffset);
    line = offsetLine(line, lineOffset);
    const double r = circle.r;

    // Unit direction along the line (x growing, or y growing for a vertical line) and the
    // signed distance of the centre from it along the normal (-dir.y, dir.x).
    GeoPoint dir;
    double signedDistance;
    if (line.a == 0) {
        dir = {0, 1};
        signedDistance = -(circle.x + line.c / line.b);
    } else {
        const double norm = std::sqrt(line.b * line.b + 1);
        dir = {1 / norm, line.b / norm};
        signedDistance = (circle.y - line.b * circle.x - line.c) / norm;
    }
    const double d = std::fabs(signedDistance);
    double halfChord;
    int result;
    if (std::fabs(d - r) < kCrossTolerance) {
        halfChord = 0;
        result = kCrossOne;
    } else if (d >= r) {
        geometryTrace("NO_CROSS 相离,R=%f,dd=%f\n", r, d);
        return traced(kCrossNone, p1, p2);
    } else {
        halfChord = std::sqrt(r * r - d * d);
        result = kCrossTwo;
    }
    // The foot of the perpendicular from the centre, then half a chord each way: the same
    // points as solving the quadratic, without its cancellation far from the origin.
    const GeoPoint foot{circle.x + signedDistance * dir.y, circle.y - signedDistance * dir.x};
    p1 = {foot.x + halfChord * dir.x, foot.y + halfChord * dir.y};
    p2 = {foot.x - halfChord * dir.x, foot.y - halfChord * dir.y};
    result = choose(result, reference, grows, p1, p2);
    return traced(result, p1, p2);
}

int crossCircleCircle(GeoCircle c1, double offset1, GeoCircle c2, double offset2,
                      const GeoPoint* reference, GeoPoint& p1, GeoPoint& p2) {
    geometryTrace("CIRCULAR CIRCULAR CROSS:\n");
    p1 = p2 = {};
    if (!(c1.r > 0)) {
        geometryTrace("circular_equ1's para is error\n");
        return traced(kCrossError, p1, p2);
    }
    if (!(c2.r > 0)) {
        geometryTrace("circular_equ2's para is error\n");
        return traced(kCrossError, p1, p2);
    }
    const bool bothGrow = c1.r + offset1 > 0 && c2.r + offset2 > 0;
    c1 = offsetCircle(c1, offset1);
    c2 = offsetCircle(c2, offset2);
    const double r1 = c1.r, r2 = c2.r;

    const double dx = c2.x - c1.x, dy = c2.y - c1.y;
    if (std::fabs(dx) < kCrossTolerance && std::fabs(dy) < kCrossTolerance) {
        if (std::fabs(r1 - r2) >= kCrossTolerance) {
            geometryTrace("NO_CROSS 同心圆,R1=%f,R2=%f\n", r1, r2);
            return traced(kCrossNone, p1, p2);
        }
        geometryTrace("INFINITE_CROSS 同心圆,R1=%f,R2=%f\n", r1, r2);
        return traced(kCrossInfinite, p1, p2);
    }
    const double dd = std::hypot(dx, dy);
    bool tangent = false;
    if (std::fabs(r1 + r2 - dd) < kCrossTolerance) {
        tangent = true;
    } else if (dd > r1 + r2) {
        geometryTrace("NO_CROSS 相离,R1=%f,R2=%f,dd=%f\n", r1, r2, dd);
        return traced(kCrossNone, p1, p2);
    } else if (std::fabs(std::fabs(r1 - r2) - dd) < kCrossTolerance) {
        tangent = true;
    } else if (dd < std::fabs(r1 - r2)) {
        geometryTrace("NO_CROSS 相含,R1=%f,R2=%f,dd=%f\n", r1, r2, dd);
        return traced(kCrossNone, p1, p2);
    }
    // Along the line of centres to the radical line, then half a chord each way across it.
    const GeoPoint u{dx / dd, dy / dd};
    double along = (r1 * r1 - r2 * r2 + dd * dd) / (2 * dd);
    double halfChord = 0;
    if (tangent) {
        along = along < 0 ? -r1 : r1;  // the touching point lies on circle 1
    } else {
        halfChord = std::sqrt(std::fmax(0.0, r1 * r1 - along * along));
    }
    const GeoPoint mid{c1.x + along * u.x, c1.y + along * u.y};
    p1 = {mid.x - halfChord * u.y, mid.y + halfChord * u.x};
    p2 = {mid.x + halfChord * u.y, mid.y - halfChord * u.x};
    // The point of the positive root: the larger x, or the larger y when the centres lie
    // level and the crossings one above the other.
    const bool level = std::fabs(dy) < kCrossTolerance;
    if (level ? p1.y < p2.y : p1.x < p2.x) std::swap(p1, p2);
    const int result = choose(tangent ? kCrossOne : kCrossTwo, reference, bothGrow, p1, p2);
    return traced(result, p1, p2);
}

}  // namespace korvex
