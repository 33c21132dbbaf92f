#include "controller/recovery_point.h"

#include <algorithm>

#include "code/step.h"
#include "controller/machining/start_payload.h"

namespace korvex {
namespace {

bool steps(const PathElement& e) { return e.kind >= 0 && e.kind <= 3; }

// The element as the card moves along it: a rapid move (a switch element with an end point) is
// stepped as a line, whose steps the program does not count. A power cut can stop the wire on
// one as on any other element.
PathElement movingElement(const PathElement& e) {
    if (e.kind != kElementSwitch || (e.endX == 0 && e.endY == 0)) return e;
    PathElement line = e;
    line.kind = kElementLine;
    line.steps = 0;
    line.steps = std::max(countSteps(line), 0);
    return line;
}

// The cursor `recorded` steps into the element: forward from a fresh cursor, backward from its
// end. Batches keep the cancel test and the progress cheap on a segment of millions of steps.
int cursorAt(const PathElement& e, int32_t recorded, bool reverse, StepState& out,
             const std::function<void(int)>& progress, const std::atomic<bool>* cancel) {
    if (!reverse) return positionAfterSteps(e, recorded, out, progress, cancel);
    constexpr int kBatch = 4096;
    StepState cursor = endCursor(e);
    const int64_t total = static_cast<int64_t>(e.steps) - recorded;
    int64_t done = 0;
    int lastPercent = -1;
    while (done < total) {
        if (cancel && cancel->load()) return -1;
        const int n = static_cast<int>(std::min<int64_t>(kBatch, total - done));
        const int made = stepElement(e, cursor, n, nullptr, true);
        done += n;
        const int percent = static_cast<int>(done * 100 / total);
        if (progress && percent != lastPercent) progress(lastPercent = percent);
        if (made < n) break;  // the element ended
    }
    out = cursor;
    return 0;
}

}  // namespace

bool plainRecordTitle(const std::string& title) {
    if (title.empty() || title.size() > kFileTitleBytes || title == "." || title == "..") return false;
    return title.find('/') == std::string::npos && title.find('\0') == std::string::npos;
}

std::string recordMismatch(const WorkRecord& record, const LoadedProgram& program) {
    const int64_t n = static_cast<int64_t>(program.segments.size());
    auto inProgram = [n](int64_t s) { return s >= 0 && s < n; };
    const WorkParams& w = record.work;
    if (!inProgram(w.segment)) return "segment " + std::to_string(w.segment) + " is not in the program";
    const CodeSegment& segment = program.segments[static_cast<std::size_t>(w.segment)];
    const CodeSegment s{segment.twoContour, movingElement(segment.upper), movingElement(segment.lower)};
    if (w.lower.steps < 0 || w.lower.steps > s.lower.steps)
        return "lower progress " + std::to_string(w.lower.steps) + " beyond segment " + std::to_string(w.segment) +
               " of " + std::to_string(s.lower.steps) + " steps";
    if (s.twoContour && (w.upper.steps < 0 || w.upper.steps > s.upper.steps))
        return "upper progress beyond its segment";
    if (!inProgram(record.load.rangeFirst) || !inProgram(record.load.rangeLast)) return "range outside the program";
    for (const int32_t stop : record.load.segmentStops)
        if (!inProgram(stop)) return "segment stop outside the program";
    if (w.loopIndex < 0 || w.loopIndex >= record.load.loopTotal) return "loop index beyond the loop total";
    if (record.kind == kWorkRecordReturn && !inProgram(record.returnSegment)) return "return target outside the program";
    return {};
}

int stepToRecordedPoint(const LoadedProgram& program, bool reverse, WorkParams& work,
                        const std::function<void(int)>& progress, const std::atomic<bool>* cancel) {
    const CodeSegment& segment = program.segments.at(static_cast<std::size_t>(work.segment));
    const CodeSegment s{segment.twoContour, movingElement(segment.upper), movingElement(segment.lower)};
    const bool two = s.twoContour != 0;
    // Each contour gets half the bar when there are two.
    auto part = [&progress, two](int base) {
        return [&progress, two, base](int p) {
            if (progress) progress(two ? base + p / 2 : p);
        };
    };
    StepState lower{work.lower.steps, work.lower.x, work.lower.y};
    StepState upper{work.upper.steps, work.upper.x, work.upper.y};
    if (steps(s.lower) && cursorAt(s.lower, work.lower.steps, reverse, lower, part(0), cancel) != 0) return -1;
    if (two && steps(s.upper) && cursorAt(s.upper, work.upper.steps, reverse, upper, part(50), cancel) != 0)
        return -1;
    work.lower = {lower.steps, lower.x, lower.y};
    if (two) work.upper = {upper.steps, upper.x, upper.y};
    GuidePositions g;
    const auto index = static_cast<std::size_t>(work.segment);
    if (guidePositionsAfter(displacementsBefore(program.segments.data(), index), s, lower, upper,
                            guideGeometryOf(program), g) != kGuidesOk)
        return kRecoveryGuidesOutOfRange;
    work.guideX = g.x;
    work.guideY = g.y;
    work.guideU = g.u;
    work.guideV = g.v;
    work.rollerFractionX = g.rollerFraction;
    if (progress) progress(100);
    return 0;
}

}  // namespace korvex
