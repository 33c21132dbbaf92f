#include "controller/views/graph_program.h"

#include <algorithm>
#include <cmath>

#include "controller/views/graph_groups.h"

namespace korvex {

namespace {

void addPoint(ProgramBox& box, int64_t x, int64_t y) {
    box.minX = std::min(box.minX, x);
    box.maxX = std::max(box.maxX, x);
    box.minY = std::min(box.minY, y);
    box.maxY = std::max(box.maxY, y);
}

// The element's box from its start point: both ends, and an arc's whole circle (a little more
// than the arc, never less).
void addElement(ProgramBox& box, const PathElement& e, int64_t x, int64_t y) {
    addPoint(box, x, y);
    addPoint(box, x + e.dx(), y + e.dy());
    if (e.isArc()) {
        const int64_t cx = x - e.startX, cy = y - e.startY;
        const auto r = static_cast<int64_t>(std::ceil(std::sqrt(double(e.startX) * e.startX + double(e.startY) * e.startY))) + 1;
        addPoint(box, cx - r, cy - r);
        addPoint(box, cx + r, cy + r);
    }
}

}  // namespace

GraphProgram::GraphProgram(std::shared_ptr<const LoadedProgram> program, int defaultGroup)
    : program_(std::move(program)) {
    const std::vector<CodeSegment>& segs = program_->segments;
    const auto n = static_cast<int32_t>(segs.size());
    starts_.build(segs.data(), segs.size());
    stepsBefore_.reserve(segs.size() + 1);
    int64_t steps = 0;
    for (const CodeSegment& s : segs) {
        stepsBefore_.push_back(steps);
        steps += std::max(s.lower.steps, 0);
    }
    stepsBefore_.push_back(steps);

    marks_ = segmentGroups(program_->switches, n, defaultGroup);
    for (const JumpEntry& j : program_->jumps)
        if (j.line >= 0 && j.line < n)
            marks_[static_cast<std::size_t>(j.line)] |= kJumpBit;
    for (const SwitchEntry& e : program_->switches)
        if (e.segment >= 0 && e.segment < n)
            marks_[static_cast<std::size_t>(e.segment)] |= kSwitchBit;

    const bool upper = twoContour();
    for (int32_t first = 0; first < n; first += kChunkSegments) {
        ProgramBox box{lowerX(first), lowerY(first), lowerX(first), lowerY(first)};
        const int32_t end = std::min(n, first + kChunkSegments);
        for (int32_t i = first; i < end; ++i) {
            addElement(box, segs[static_cast<std::size_t>(i)].lower, lowerX(i), lowerY(i));
            if (upper)
                addElement(box, segs[static_cast<std::size_t>(i)].upper, upperX(i), upperY(i));
        }
        chunks_.push_back(box);
    }
}

GuideGeometry GraphProgram::guideGeometry() const {
    GuideGeometry g;
    const TaperHeader& t = program_->taper;
    g.twoContour = twoContour() && t.widthX10 > 0 && t.heightX10 > 0;
    g.heightX10 = t.heightX10;
    g.widthX10 = t.widthX10;
    g.baseX10 = t.baseX10;
    g.radiusX10 = t.radiusX10;
    return g;
}

std::size_t GraphProgram::memoryBytes() const {
    return (starts_.segmentCount() + 1) * sizeof(DisplacementTable::Sums) + stepsBefore_.capacity() * sizeof(int64_t) +
           marks_.capacity() + chunks_.capacity() * sizeof(ProgramBox);
}

int32_t firstUndrawableSegment(const LoadedProgram& program) {
    const bool upper = program.kind == 3 || program.kind == 5;
    auto drawable = [](const PathElement& e) {
        if (e.kind < kElementNoMotion || e.kind > kElementSwitch)
            return false;
        if (e.isArc())
            return e.radius > 0 && (e.startX != 0 || e.startY != 0);
        return true;
    };
    for (std::size_t i = 0; i < program.segments.size(); ++i) {
        const CodeSegment& s = program.segments[i];
        if (!drawable(s.lower) || (upper && s.twoContour && !drawable(s.upper)))
            return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t machinedCount(const GraphRange& range, int32_t current) {
    if (range.first < 0 || current < range.first || current > range.last)
        return 0;
    return range.reverse ? range.last - current : current - range.first;
}

namespace {

// A G00 is a switch-kind element that moves: the card walks it like a line although the
// program counts no steps for it.
bool isRapidMove(const PathElement& e) { return e.kind == kElementSwitch && (e.endX != 0 || e.endY != 0); }

bool walkedAsLine(const PathElement& e) { return e.kind == kElementLine || e.kind == kElementEmpty || isRapidMove(e); }

StepState clampCursor(const PathElement& e, const StepCursor& c) {
    StepState s{c.steps, c.x, c.y};
    int64_t most = std::max(e.steps, 0);
    if (isRapidMove(e))
        most = std::max<int64_t>({most, std::llabs(int64_t{e.endX}), std::llabs(int64_t{e.endY})});
    s.steps = static_cast<int32_t>(std::clamp<int64_t>(s.steps, 0, most));
    return s;
}

// The cursor's place relative to the element's start point.
void inElement(const PathElement& e, const StepState& c, int64_t& x, int64_t& y) {
    if (e.isArc()) {
        x = int64_t{c.x} - e.startX;
        y = int64_t{c.y} - e.startY;
    } else if (walkedAsLine(e)) {
        x = c.x;
        y = c.y;
    } else {
        x = y = 0;
    }
}

}  // namespace

std::optional<GraphProgress> progressFromWork(const GraphProgram& program, const GraphRange& range,
                                              const WorkParams& work, int32_t speed) {
    if (work.segment < 0 || work.segment >= program.count())
        return std::nullopt;
    GraphProgress p;
    p.current = work.segment;
    const CodeSegment& s = program.segment(p.current);
    p.lower = clampCursor(s.lower, work.lower);
    p.upper = clampCursor(s.upper, work.upper);
    p.speed = speed;
    int64_t x, y;
    inElement(s.lower, p.lower, x, y);
    p.lowerPointX = program.lowerX(p.current) + x;
    p.lowerPointY = program.lowerY(p.current) + y;
    if (s.twoContour) {
        inElement(s.upper, p.upper, x, y);
        p.upperPointX = program.upperX(p.current) + x;
        p.upperPointY = program.upperY(p.current) + y;
    } else {
        p.upperPointX = p.lowerPointX;
        p.upperPointY = p.lowerPointY;
    }
    GuidePositions g;
    if (guidePositions(program.starts(), program.program().segments.data(), static_cast<std::size_t>(p.current),
                       p.lower, p.upper, program.guideGeometry(), g) == kGuidesOk)
        p.guides = g;
    if (range.valid(program.count())) {
        p.totalSteps = program.stepsBefore(range.last + 1) - program.stepsBefore(range.first);
        if (p.current >= range.first && p.current <= range.last) {
            // Only the steps the program counts (none on a G00), like the totals.
            const int64_t inCurrent = std::min(p.lower.steps, std::max(s.lower.steps, 0));
            p.doneSteps = range.reverse ? program.stepsBefore(range.last + 1) - program.stepsBefore(p.current + 1) +
                                              (std::max(s.lower.steps, 0) - inCurrent)
                                        : program.stepsBefore(p.current) - program.stepsBefore(range.first) + inCurrent;
        }
    }
    return p;
}

PathElement machinedPart(const PathElement& e, const StepState& cursor, bool reverse, int64_t segStartX,
                         int64_t segStartY, int64_t& partStartX, int64_t& partStartY) {
    PathElement part = e;
    partStartX = segStartX;
    partStartY = segStartY;
    if (e.isArc()) {
        // Arc cursors are relative to the centre, like the element's own ends.
        if (reverse) {
            partStartX += int64_t{cursor.x} - e.startX;
            partStartY += int64_t{cursor.y} - e.startY;
            part.startX = cursor.x;
            part.startY = cursor.y;
        } else {
            part.endX = cursor.x;
            part.endY = cursor.y;
        }
        if (part.startX == part.endX && part.startY == part.endY)
            part.kind = kElementNoMotion;  // nothing done yet (an equal start and end is a full circle)
        return part;
    }
    if (!walkedAsLine(e)) {
        part.kind = kElementNoMotion;
        return part;
    }
    if (reverse) {
        partStartX += cursor.x;
        partStartY += cursor.y;
        part.endX = e.endX - cursor.x;
        part.endY = e.endY - cursor.y;
    } else {
        part.endX = cursor.x;
        part.endY = cursor.y;
    }
    return part;
}

}  // namespace korvex
