#include "sim/card/segment_motion.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvex::sim {
namespace {

// A cursor handed over by the PC is trusted, but an arc stepper started off its circle (a work
// record of another program, say) could circle on; once an element has taken this many steps
// beyond its count in one direction it is ended by force. Stepping itself never needs it: an
// arc's backward run differs from its count by a few steps at most, and an element that has
// ended gives no more steps, whatever the batches.
constexpr int32_t kRunawaySlackSteps = 64;
constexpr int kStepBatch = 64;
constexpr int kMillimetreTenthsToMicrons = 100;

void applyCode(uint8_t code, int64_t& x, int64_t& y) {
    if (code & kStepPosX) ++x;
    if (code & kStepPosY) ++y;
    if (code & kStepNegX) --x;
    if (code & kStepNegY) --y;
}

}  // namespace

GuidePositions ContourPoint::guides(bool twoContour, const TaperGeometry& taper) const {
    GuidePositions g;
    if (!twoContour || !taper.active()) {
        g.x = static_cast<int32_t>(lx);
        g.y = static_cast<int32_t>(ly);
        g.u = static_cast<int32_t>(ux);
        g.v = static_cast<int32_t>(uy);
        return g;
    }
    const int64_t h = taper.height, t = taper.width, b = taper.base;
    g.x = static_cast<int32_t>(((t + b) * lx - b * ux) / t);
    g.y = static_cast<int32_t>(((t + b) * ly - b * uy) / t);
    g.u = static_cast<int32_t>((h * ux - h * lx) / t);
    g.v = static_cast<int32_t>((h * uy - h * ly) / t);
    const double hMicrons = static_cast<double>(h) * kMillimetreTenthsToMicrons;
    const double ratio = g.u / hMicrons;
    const double c = (std::sqrt(ratio * ratio + 1.0) - 1.0) * (taper.radius * 100.0);
    const double whole = std::trunc(c);
    g.x -= static_cast<int32_t>(whole);
    g.rollerFraction = static_cast<int32_t>((c - whole) * 1000.0);
    return g;
}

namespace {

// The roller correction taken off X, from U alone: (sqrt((U / H)² + 1) − 1) · R, in microns.
double rollerCorrection(int64_t u, const TaperGeometry& taper) {
    const double ratio = static_cast<double>(u) / (static_cast<double>(taper.height) * kMillimetreTenthsToMicrons);
    return (std::sqrt(ratio * ratio + 1.0) - 1.0) * (taper.radius * 100.0);
}

// Candidates around an estimate, nearest first.
template <typename Accept>
bool nearest(int64_t estimate, Accept accept, int64_t& out) {
    constexpr int64_t kReach = 3;
    for (int64_t d = 0; d <= kReach; ++d)
        for (const int64_t c : {estimate + d, estimate - d})
            if (accept(c)) {
                out = c;
                return true;
            }
    return false;
}

// One axis pair of a start point: the lower contour coordinate L and the upper one L + D whose
// guides are exactly (guide, offset), with `dropped` microns of roller correction taken off the
// guide. The divisions truncate, so the nearest such pair to the real-valued inverse is taken;
// any pair with the same guides moves the guides the same way along the path.
void contourPair(int64_t guide, int64_t offset, int64_t dropped, const TaperGeometry& taper, int64_t& lower,
                 int64_t& upper) {
    const int64_t h = taper.height, t = taper.width, b = taper.base;
    const int64_t target = guide + dropped;
    int64_t d = std::llround(static_cast<double>(offset) * t / h);
    nearest(d, [&](int64_t c) { return h * c / t == offset; }, d);
    int64_t l = std::llround(static_cast<double>(target) + static_cast<double>(b) * d / t);
    nearest(l, [&](int64_t c) { return ((t + b) * c - b * (c + d)) / t == target; }, l);
    lower = l;
    upper = l + d;
}

}  // namespace

ContourPoint ContourPoint::fromGuides(const GuidePositions& g, bool twoContour,
                                      const TaperGeometry& taper) {
    ContourPoint p;
    if (!twoContour || !taper.active()) {
        p.lx = g.x;
        p.ly = g.y;
        p.ux = g.u;
        p.uy = g.v;
        return p;
    }
    // X lost the whole microns of the roller correction, which depends on U alone: given back
    // first, so a start continues from the contour point the PC computed.
    const int64_t dropped = static_cast<int64_t>(std::trunc(rollerCorrection(g.u, taper)));
    contourPair(g.x, g.u, dropped, taper, p.lx, p.ux);
    contourPair(g.y, g.v, 0, taper, p.ly, p.uy);
    return p;
}

PathElement motionElement(const PathElement& e) {
    PathElement m = e;
    if (e.kind == kElementSwitch && (e.endX != 0 || e.endY != 0)) {
        m.kind = kElementLine;
        m.steps = 0;  // counted again as a line
    }
    return m;
}

bool isGroupSwitch(const PathElement& e) {
    return e.kind == kElementSwitch && e.endX == 0 && e.endY == 0;
}

void SegmentMotion::setUp(Track& t, const PathElement& e) {
    t.element = motionElement(e);
    const bool moves = t.element.kind == kElementLine || t.element.isArc();
    t.total = !moves ? 0 : (t.element.steps > 0 ? t.element.steps : countSteps(t.element));
    // The arc stepper reads the count to tell a backward run under way from a fresh one.
    if (moves) t.element.steps = std::max(t.total, 0);
    t.guard = 0;
}

bool SegmentMotion::hasStepLeft(const Track& t, bool backward) {
    StepState probe = t.cursor;
    return stepElement(t.element, probe, 1, nullptr, backward) == 1;
}

void SegmentMotion::load(const CodeSegment& segment, const StepCursor& upper, const StepCursor& lower) {
    segment_ = segment;
    setUp(lower_, segment.lower);
    setUp(upper_, segment.upper);
    lower_.active = true;
    upper_.active = segment.twoContour != 0;
    lower_.cursor = {lower.steps, lower.x, lower.y};
    upper_.cursor = {upper.steps, upper.x, upper.y};
    upperLeads_ = upper_.active && upper_.total > lower_.total;
}

void SegmentMotion::loadAtEnd(const CodeSegment& segment, bool atEnd) {
    auto cursorOf = [atEnd](const PathElement& e) {
        const PathElement m = motionElement(e);
        const StepState s = atEnd ? endCursor(m) : freshCursor(m);
        return StepCursor{s.steps, s.x, s.y};
    };
    load(segment, cursorOf(segment.upper), cursorOf(segment.lower));
    // endCursor takes the steps field; a rapid move re-counted as a line needs the real count.
    if (atEnd) {
        lower_.cursor.steps = lower_.total;
        upper_.cursor.steps = upper_.active ? upper_.total : upper_.cursor.steps;
    }
}

int SegmentMotion::run(Track& t, int n, bool backward, int64_t& x, int64_t& y) {
    uint8_t codes[kStepBatch];
    int done = 0;
    if (t.guardBackward != backward) {
        t.guard = 0;
        t.guardBackward = backward;
    }
    while (done < n) {
        if (t.guard > t.total + kRunawaySlackSteps) {
            // Runaway: put the cursor on the element's end it was heading for.
            const StepState target = backward ? freshCursor(t.element) : endCursor(t.element);
            t.cursor = {backward ? 0 : t.total, target.x, target.y};
            break;
        }
        const int want = std::min(n - done, kStepBatch);
        const int got = stepElement(t.element, t.cursor, want, codes, backward);
        for (int i = 0; i < got; ++i) applyCode(codes[i], x, y);
        done += got;
        t.guard += got;
        if (got < want || !hasStepLeft(t, backward)) {
            // The stepper has nothing left in this direction: pin the count to the end (an
            // arc's run may take a few steps more or fewer than its count).
            t.cursor.steps = backward ? 0 : t.total;
            break;
        }
    }
    return done;
}

bool SegmentMotion::finished(bool backward) const {
    // The stepper decides, not the count: a backward run may use up the count a few steps
    // before it reaches the start, and a run resumed after backing off may take a few more
    // steps than the count said.
    return !hasStepLeft(upperLeads_ ? upper_ : lower_, backward);
}

int32_t SegmentMotion::stepsDone() const { return (upperLeads_ ? upper_ : lower_).cursor.steps; }
int32_t SegmentMotion::stepsTotal() const { return (upperLeads_ ? upper_ : lower_).total; }

void SegmentMotion::follow(bool backward, ContourPoint& point) {
    if (!upper_.active) return;
    Track& lead = upperLeads_ ? upper_ : lower_;
    Track& other = upperLeads_ ? lower_ : upper_;
    int64_t& ox = upperLeads_ ? point.lx : point.ux;
    int64_t& oy = upperLeads_ ? point.ly : point.uy;
    if (!hasStepLeft(lead, backward)) {
        // The leader has arrived: the follower runs to its own end, however many steps that
        // takes (run() stops where its stepper ends).
        run(other, std::numeric_limits<int>::max(), backward, ox, oy);
        return;
    }
    const int64_t target =
        lead.total == 0 ? (backward ? 0 : other.total)
                        : int64_t{lead.cursor.steps} * other.total / lead.total;
    if (!backward && other.cursor.steps < target)
        run(other, static_cast<int>(target - other.cursor.steps), false, ox, oy);
    else if (backward && other.cursor.steps > target)
        run(other, static_cast<int>(other.cursor.steps - target), true, ox, oy);
}

int SegmentMotion::step(int maxSteps, bool backward, ContourPoint& point) {
    Track& lead = upperLeads_ ? upper_ : lower_;
    int64_t& x = upperLeads_ ? point.ux : point.lx;
    int64_t& y = upperLeads_ ? point.uy : point.ly;
    int done = 0;
    while (done < maxSteps && !finished(backward)) {
        const int got = run(lead, std::min(maxSteps - done, kStepBatch), backward, x, y);
        done += got;
        follow(backward, point);
        if (got == 0) break;
    }
    if (finished(backward)) follow(backward, point);
    return done;
}

}  // namespace korvex::sim
