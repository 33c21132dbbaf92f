#include "controller/machining/start_payload.h"

#include "code/kind.h"

namespace korvex {
namespace {

constexpr int kGroupCount = 8;
int validGroup(int index, int fallback) { return index >= 0 && index < kGroupCount ? index : fallback; }

}  // namespace

GuideGeometry guideGeometryOf(const LoadedProgram& program) {
    GuideGeometry g;
    g.twoContour = isTwoContourKind(program.kind);
    g.heightX10 = program.taper.heightX10;
    g.widthX10 = program.taper.widthX10;
    g.baseX10 = program.taper.baseX10;
    g.radiusX10 = program.taper.radiusX10;
    return g;
}

int freshWorkParams(const LoadedProgram& program, int32_t segment, bool reverse, WorkParams& out) {
    if (segment < 0 || static_cast<std::size_t>(segment) >= program.segments.size()) return kGuidesBadCursor;
    const auto index = static_cast<std::size_t>(segment);
    const CodeSegment& s = program.segments[index];
    StepState lower, upper;
    segmentStartCursors(s, reverse, lower, upper);
    // One lookup per start: the segments before it are summed here rather than kept in a table.
    GuidePositions g;
    const int rc = guidePositionsAfter(displacementsBefore(program.segments.data(), index), s, lower, upper,
                                       guideGeometryOf(program), g);
    if (rc != kGuidesOk) return rc;
    WorkParams w;
    w.segment = segment;
    w.lower = {lower.steps, lower.x, lower.y};
    w.upper = {upper.steps, upper.x, upper.y};
    w.guideX = g.x;
    w.guideY = g.y;
    w.guideU = g.u;
    w.guideV = g.v;
    w.rollerFractionX = g.rollerFraction;
    out = w;
    return kGuidesOk;
}

bool returnDistances(const WorkParams& target, const WorkParams& here, std::array<int32_t, kAxisCount>& out) {
    const int32_t to[kAxisCount] = {target.guideX, target.guideY, target.guideU, target.guideV};
    const int32_t from[kAxisCount] = {here.guideX, here.guideY, here.guideU, here.guideV};
    std::array<int32_t, kAxisCount> d{};
    for (std::size_t i = 0; i < kAxisCount; ++i)
        if (__builtin_sub_overflow(to[i], from[i], &d[i])) return false;
    out = d;
    return true;
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
