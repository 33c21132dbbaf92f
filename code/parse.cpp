#include "code/parse.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "code/iso.h"
#include "code/kind.h"
#include "code/numbers.h"
#include "code/step.h"
#include "code/threeb.h"

namespace korvex {
namespace {

int parseIsoInto(const char* text, PathElement& e) {
    IsoStatement s;
    if (parseIsoStatement(text, s) != 0) return -1;
    e = isoStatementToElement(s);
    return 0;
}

int countInto(PathElement& e, const std::atomic<bool>* cancel) {
    const int64_t steps = countElementSteps(e, cancel);
    if (steps < 0) return -1;
    e.steps = static_cast<int32_t>(std::min<int64_t>(steps, std::numeric_limits<int32_t>::max()));
    return 0;
}

void extend(Extents& box, bool& first, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    const int32_t lx = clampToInt32(std::min(x0, x1)), hx = clampToInt32(std::max(x0, x1));
    const int32_t ly = clampToInt32(std::min(y0, y1)), hy = clampToInt32(std::max(y0, y1));
    if (first) {
        box = Extents{lx, ly, hx, hy};
        first = false;
        return;
    }
    box.minX = std::min(box.minX, lx);
    box.minY = std::min(box.minY, ly);
    box.maxX = std::max(box.maxX, hx);
    box.maxY = std::max(box.maxY, hy);
}

void addElement(const PathElement& e, ContourPoint& at, Extents& box, bool& first) {
    switch (e.kind) {
    case kElementArcCw:
    case kElementArcCcw: {
        const int64_t cx = at.x - e.startX, cy = at.y - e.startY;
        extend(box, first, cx - e.radius, cy - e.radius, cx + e.radius, cy + e.radius);
        at.x += static_cast<int64_t>(e.endX) - e.startX;
        at.y += static_cast<int64_t>(e.endY) - e.startY;
        break;
    }
    case kElementLine:
    case kElementSwitch:
        extend(box, first, at.x, at.y, at.x + e.endX, at.y + e.endY);
        at.x += e.endX;
        at.y += e.endY;
        break;
    default:  // pause, empty, no motion: the current point
        extend(box, first, at.x, at.y, at.x, at.y);
        break;
    }
}

// Arcs that the interpolator would give up on, known without stepping them, which for an arc of
// a kilometre's radius would take minutes:
// - the end lies off the circle by more than the stepper ever strays from it (its cursor keeps
//   within about a micron of the rounded radius, and the approach to the end needs 2 um in
//   each axis), so it is never reached;
// - the arc is so long that even steps of sqrt(2) um each outnumber a 32-bit count.
bool arcCanBeCounted(const PathElement& e) {
    constexpr double kStrayMicrons = 16.0;
    constexpr double kTwoPi = 6.283185307179586;
    const double r = e.radius;
    const double endRadius = std::hypot(static_cast<double>(e.endX), static_cast<double>(e.endY));
    if (std::fabs(endRadius - r) > kStrayMicrons) return false;
    double sweep = kTwoPi;
    if (e.startX != e.endX || e.startY != e.endY) {
        const double a0 = std::atan2(static_cast<double>(e.startY), static_cast<double>(e.startX));
        const double a1 = std::atan2(static_cast<double>(e.endY), static_cast<double>(e.endX));
        sweep = e.kind == kElementArcCcw ? a1 - a0 : a0 - a1;
        if (sweep < 0) sweep += kTwoPi;
    }
    // Generous allowance for the rounding of the angles and of the radius.
    const double fewestSteps = (r - kStrayMicrons) * sweep / std::sqrt(2.0) * 0.999 - 16.0;
    return fewestSteps <= std::numeric_limits<int32_t>::max();
}

}  // namespace

int splitTwoContourLine(const char* line, int& firstLength, const char*& second) {
    const char* semicolon = std::strchr(line, ';');
    if (!semicolon) return -1;
    const char* n = std::strchr(semicolon, 'N');
    if (!n) return -1;
    firstLength = static_cast<int>(n - line);
    second = n;
    return 0;
}

int64_t countElementSteps(const PathElement& e, const std::atomic<bool>* cancel) {
    if (e.isArc() && !arcCanBeCounted(e)) return -1;
    // The interpolator gives up on an arc whose end it cannot reach (an end off the circle)
    // after two turns, so every count ends.
    const int32_t steps = countSteps(e, cancel);
    return steps == kStepsUnending ? -1 : steps;
}

int parseLine(const char* line, int kind, CodeSegment& out, bool countSteps,
              const std::atomic<bool>* cancel) {
    out = CodeSegment{};
    switch (kind) {
    case kKindIso:
    case kKindIsoSwitches:
        if (parseIsoInto(line, out.lower) != 0) return -1;
        break;
    case kKind3B: {
        ThreeBStatement s;
        if (parse3BStatement(line, s) != 0) return -1;
        out.lower = threeBToElement(s);
        break;
    }
    case kKindTwoContour:
    case kKindTwoContourSwitches: {
        int firstLength = 0;
        const char* second = nullptr;
        if (splitTwoContourLine(line, firstLength, second) != 0) return -1;
        char first[kLineSlotBytes];
        const int n = std::min(firstLength, kMaxLineChars);
        std::memcpy(first, line, static_cast<std::size_t>(n));
        first[n] = '\0';
        if (parseIsoInto(first, out.upper) != 0 || parseIsoInto(second, out.lower) != 0) return -1;
        if ((out.upper.kind == kElementSwitch) != (out.lower.kind == kElementSwitch)) return -1;
        out.twoContour = 1;
        break;
    }
    default:
        return -1;
    }
    if (countSteps) {
        if (countInto(out.lower, cancel) != 0) return -1;
        if (out.twoContour && countInto(out.upper, cancel) != 0) return -1;
    }
    return 0;
}

int buildSwitchTable(const ProgramLines& lines, int kind, const CodeSegment* segments, int count,
                     SwitchEntry* table, int capacity) {
    int entries = 0;
    for (int i = 0; i < count; ++i) {
        const PathElement& e = segments[i].lower;
        if (e.kind != kElementSwitch) continue;
        const char* text = i < lines.count ? lines.line(i) : "";
        if (isTwoContourKind(kind)) {
            int firstLength = 0;
            const char* second = nullptr;
            if (splitTwoContourLine(text, firstLength, second) == 0) text = second;
        }
        if (!isGroupSwitchStatement(text)) continue;  // a G00 rapid move
        if (entries >= capacity) return -1;
        table[entries++] = SwitchEntry{i, e.groupE, e.groupF, e.groupL, e.groupQ};
    }
    return entries;
}

void addSegmentExtents(const CodeSegment& s, ContourPoint& upper, ContourPoint& lower,
                       Extents& box, bool& first) {
    addElement(s.upper, upper, box, first);
    addElement(s.lower, lower, box, first);
}

Extents programExtents(const CodeSegment* segments, int count) {
    Extents box;
    bool first = true;
    ContourPoint upper, lower;
    for (int i = 0; i < count; ++i) addSegmentExtents(segments[i], upper, lower, box, first);
    return box;
}

}  // namespace korvex
