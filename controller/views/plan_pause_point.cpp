#include "controller/views/plan_pause_point.h"

#include <cmath>
#include <numbers>

namespace korvex {

std::optional<GraphPoint> pointAlongSegment(const GraphProgram& program, int32_t segment, int percent) {
    if (segment < 0 || segment >= program.count())
        return std::nullopt;
    const PathElement& e = program.segment(segment).lower;
    const double f = percent / 100.0;
    const double x0 = static_cast<double>(program.lowerX(segment));
    const double y0 = static_cast<double>(program.lowerY(segment));
    if (e.kind == kElementLine)
        return GraphPoint{std::llround(x0 + f * e.endX), std::llround(y0 + f * e.endY)};
    if (!e.isArc())
        return std::nullopt;
    // Start and end are kept relative to the centre.
    const double cx = x0 - e.startX, cy = y0 - e.startY;
    const double a0 = std::atan2(static_cast<double>(e.startY), static_cast<double>(e.startX));
    const double a1 = std::atan2(static_cast<double>(e.endY), static_cast<double>(e.endX));
    const double turn = 2 * std::numbers::pi;
    const bool ccw = e.kind == kElementArcCcw;
    double sweep = ccw ? a1 - a0 : a0 - a1;
    while (sweep <= 0)
        sweep += turn;  // equal ends: a whole circle
    const double r = std::hypot(static_cast<double>(e.startX), static_cast<double>(e.startY));
    const double a = a0 + (ccw ? 1 : -1) * f * sweep;
    return GraphPoint{std::llround(cx + r * std::cos(a)), std::llround(cy + r * std::sin(a))};
}

}  // namespace korvex
