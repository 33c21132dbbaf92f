#include "controller/machining/start_payload.h"

#include <cmath>

namespace korvex {
namespace {

constexpr int kGroupCount = 8;
constexpr int64_t kMicronsPerTenth = 100;

bool moves(const PathElement& e) { return e.kind == kElementLine || e.isArc() || e.kind == kElementSwitch; }

// Position of the cursor inside its element, relative to the element's start.
std::pair<int64_t, int64_t> inSegment(const PathElement& e, const StepState& c) {
    if (e.isArc())
        return {int64_t{c.x} - e.startX, int64_t{c.y} - e.startY};
    if (e.kind == kElementLine)
        return {c.x, c.y};
    return {0, 0};
}

int validGroup(int index, int fallback) { return index >= 0 && index < kGroupCount ? index : fallback; }

}  // namespace

GuidePositions guidePositions(const LoadedProgram& program, int32_t segment, const StepState& lower,
                              const StepState& upper) {
    int64_t lx = 0, ly = 0, ux = 0, uy = 0;
    const int32_t count = static_cast<int32_t>(program.segments.size());
    for (int32_t i = 0; i < segment && i < count; ++i) {
        const CodeSegment& s = program.segments[static_cast<std::size_t>(i)];
        if (moves(s.lower)) {
            lx += s.lower.dx();
            ly += s.lower.dy();
        }
        if (moves(s.upper)) {
            ux += s.upper.dx();
            uy += s.upper.dy();
        }
    }
    if (segment >= 0 && segment < count) {
        const CodeSegment& s = program.segments[static_cast<std::size_t>(segment)];
        const auto [lxIn, lyIn] = inSegment(s.lower, lower);
        const auto [uxIn, uyIn] = inSegment(s.upper, upper);
        lx += lxIn;
        ly += lyIn;
        ux += uxIn;
        uy += uyIn;
    }
    GuidePositions g;
    const bool twoContour = program.kind == 3 || program.kind == 5;
    const TaperHeader& t = program.taper;
    // Without a height or a width there is no taper geometry to use: the contours are taken as
    // the guides, as for a one-contour program (never a division by zero).
    if (!twoContour || t.heightX10 <= 0 || t.widthX10 <= 0) {
        g.x = static_cast<int32_t>(lx);
        g.y = static_cast<int32_t>(ly);
        g.u = static_cast<int32_t>(ux);
        g.v = static_cast<int32_t>(uy);
        return g;
    }
    const int64_t H = t.heightX10, T = t.widthX10, B = t.baseX10, R = t.radiusX10;
    int64_t x = ((T + B) * lx - B * ux) / T;
    g.y = static_cast<int32_t>(((T + B) * ly - B * uy) / T);
    const int64_t u = (H * ux - H * lx) / T;
    g.u = static_cast<int32_t>(u);
    g.v = static_cast<int32_t>((H * uy - H * ly) / T);
    const double ratio = static_cast<double>(u) / static_cast<double>(H * kMicronsPerTenth);
    const double c = (std::sqrt(ratio * ratio + 1.0) - 1.0) * static_cast<double>(R * kMicronsPerTenth);
    const double whole = std::trunc(c);
    x -= static_cast<int64_t>(whole);
    g.x = static_cast<int32_t>(x);
    g.rollerFraction = static_cast<int32_t>((c - whole) * 1000.0);
    return g;
}

WorkParams freshWorkParams(const LoadedProgram& program, int32_t segment, bool reverse) {
    WorkParams w;
    w.segment = segment;
    if (segment < 0 || static_cast<std::size_t>(segment) >= program.segments.size())
        return w;
    const CodeSegment& s = program.segments[static_cast<std::size_t>(segment)];
    const StepState lower = reverse ? endCursor(s.lower) : freshCursor(s.lower);
    const StepState upper = reverse ? endCursor(s.upper) : freshCursor(s.upper);
    w.lower = {lower.steps, lower.x, lower.y};
    w.upper = {upper.steps, upper.x, upper.y};
    const GuidePositions g = guidePositions(program, segment, lower, upper);
    w.guideX = g.x;
    w.guideY = g.y;
    w.guideU = g.u;
    w.guideV = g.v;
    w.rollerFractionX = g.rollerFraction;
    return w;
}

GroupChoice lookupGroups(const std::vector<SwitchEntry>& table, int32_t s, int defaultGroup) {
    defaultGroup = validGroup(defaultGroup, 0);
    if (table.empty())
        return {defaultGroup, defaultGroup};
    auto both = [defaultGroup](int g) {
        g = validGroup(g, defaultGroup);
        return GroupChoice{g, g};
    };
    if (s < table.front().segment)
        return both(table.front().e);
    if (s > table.back().segment)
        return both(table.back().f);
    int earlierF = table.front().f;
    for (const SwitchEntry& entry : table) {
        if (entry.segment == s)
            return {validGroup(entry.e, defaultGroup), validGroup(entry.f, defaultGroup)};
        if (entry.segment > s)
            break;
        earlierF = entry.f;
    }
    return both(earlierF);
}

bool operatorMustIntervene(const std::vector<SwitchEntry>& table, int32_t s, bool reverse) {
    if (table.empty())
        return false;
    const SwitchEntry* found = nullptr;
    for (const SwitchEntry& entry : table) {
        if (entry.segment == s) {
            found = &entry;
            break;
        }
        const bool before = reverse ? entry.segment > s : entry.segment < s;
        if (before && (!found || (reverse ? entry.segment < found->segment : entry.segment > found->segment)))
            found = &entry;
    }
    if (!found)
        return false;
    bool anyQ = false;
    for (const SwitchEntry& entry : table)
        anyQ = anyQ || entry.q > 0;
    return (anyQ ? found->q : found->l) == 1;
}

}  // namespace korvex
