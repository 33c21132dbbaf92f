// Programs built element by element for the graph view's tests.
#pragma once

#include "code/loader.h"
#include "code/parse.h"
#include "code/step.h"

#include <cmath>
#include <memory>
#include <vector>

namespace korvex::testing {

inline PathElement lineElement(int32_t dx, int32_t dy, int32_t kind = kElementLine) {
    PathElement e;
    e.kind = kind;
    e.endX = dx;
    e.endY = dy;
    e.steps = kind == kElementLine || kind == kElementEmpty ? std::max(std::abs(dx), std::abs(dy)) : 0;
    return e;
}

// An arc from centre-relative start (sx, sy) to (ex, ey).
inline PathElement arcElement(int32_t sx, int32_t sy, int32_t ex, int32_t ey, bool ccw) {
    PathElement e;
    e.kind = ccw ? kElementArcCcw : kElementArcCw;
    e.startX = sx;
    e.startY = sy;
    e.endX = ex;
    e.endY = ey;
    e.radiusSquared = int64_t{sx} * sx + int64_t{sy} * sy;
    e.radius = static_cast<int32_t>(std::lround(std::sqrt(static_cast<double>(e.radiusSquared))));
    e.steps = countSteps(e);
    return e;
}

inline std::shared_ptr<LoadedProgram> programOf(const std::vector<PathElement>& elements, int kind = 1) {
    auto p = std::make_shared<LoadedProgram>();
    p->kind = kind;
    for (const PathElement& e : elements) {
        CodeSegment s;
        s.lower = e;
        p->segments.push_back(s);
        p->totalSteps += std::max(e.steps, 0);
    }
    p->extents = programExtents(p->segments.data(), static_cast<int>(p->segments.size()));
    return p;
}

}  // namespace korvex::testing
