// Step interpolation of lines and arcs.
//
// Line stepper: a midpoint (Bresenham) stepper in the line's octant. Its state is only the
// cursor: the error term is rebuilt from it at each call, so a run can stop and resume anywhere.
// Backward stepping runs the same stepper from the end point toward the start.
//
// Arc stepper: a midpoint circle stepper with eight step directions. In each quarter of the
// circle the cursor is expressed as (p, q): p grows along the direction of travel, q is the
// distance still to go to the next axis (q > 0, p >= 0 inside the quarter). The three candidate
// steps are B (p+1), D (p+1, q-1, the diagonal) and A (q-1). With f the circle error at the
// diagonal point, f = (q-1)^2 + (p+1)^2 - R^2:
//     f < 0:   B if 2f + 2q - 1 < 0, else D
//     f >= 0:  D if 2f - 2p - 1 < 0, else A
// The choice depends on the cursor alone (f is never carried between quarters), so the stepper
// is resumable like the line stepper.
//
// The approach rule ends an arc on its target (the end offset forward, the start offset
// backward). With d = target - cursor, where the rule applies and |dx|, |dy| <= 2:
//     d = (0, 0)                  stop without a step
//     |dx| <= 1 and |dy| <= 1     the last step, exactly (dx, dy); the stepper stops
//     otherwise (2 µm off)        one step (sign dx, sign dy); the last one follows
// Every step, these included, moves the cursor by exactly its code, so the codes of a run add
// up to the cursor's change: forward from a fresh cursor to end offset minus start offset.
// Where the rule applies ("done" counts the steps of the run: forward the steps done, backward
// the steps undone, the element's steps minus the cursor's):
//   forward   done > 3 (a full circle must not stop on its own start); within the first 3
//             steps, when the end lies ahead of the cursor or of the start offset (less than
//             half a turn in the direction of travel; never for a full circle). The start
//             offset counts too because the first step of a 2 µm approach can leave an end
//             that lies off the circle level with the cursor, and the last step must follow.
//   backward  fewer than 3 steps left (this also covers an element whose count is not known);
//             otherwise, for an arc that is not a full circle, when the start offset lies ahead
//             of the end offset within the first 3 steps and ahead of the cursor after them.
//             The backward run starts on the end offset, which may lie off the circle: an end
//             just behind the start can keep its first steps within reach of the start, and
//             they must go round as the forward run did. The backward run may take a few steps
//             more or fewer than the count, so it does not wait for the count alone.
// A cursor on its target that has arrived gives no step: forward with at least one step done,
// backward with at least one step undone where the rule applies (or more than 3 undone). So
// once a run has ended, further calls give nothing, and as the whole state is the cursor, a
// run gives the same codes however its caller cuts it into calls.
//
// Skipping runs (used to count steps and to find a position after k steps). Write
// h(a) = 4R^2 - 4a^2 - 1 and call (p, q) "on track" when (2q-1)^2 < h(p) <= (2q+1)^2. Then:
//   - before the 45-degree point: if (p, q) is on track and q >= p + 2, the next step is B or
//     D and lands on track again; so every such step advances p by exactly one, and the cursor
//     after them is (p', track(p')), track(a) being the smallest b >= 0 with (2b+1)^2 >= h(a);
//   - after it: if (q, p) is on track (the same test with the roles swapped) and
//     1 <= q <= p + 1, the next step is D or A and (q, p) stays on track; every step lowers q
//     by exactly one and the cursor after them is (track(q'), q').
// (Both follow from the choice rules above: on track, F(p, q) = p^2 + q^2 - R^2 lies within
// half a step of q (resp. p), which rules out A before and B after the 45-degree point, and
// the choice between the two remaining steps is exactly the rounding that track() makes.)
// A quarter entered on an axis from a quarter that ended on track starts on track. The walk
// skips such runs in one move, never across a cursor within reach of the target (where the
// approach rule must be tested), and steps one by one everywhere else, so it visits exactly
// the cursors that stepping one by one would stop at.
#include "code/step.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvex {
namespace {

__extension__ typedef __int128 Wide;

// The approach rule acts within this distance of the target, on both axes.
constexpr int64_t kApproachReachUm = 2;
// The approach rule waits until more than this many steps of a run are done (forward: steps
// done; backward: steps undone), so that a full circle does not stop on its own start.
constexpr int64_t kApproachAfterSteps = 3;
// Backward, the approach rule also applies once fewer than this many steps are left.
constexpr int64_t kApproachStepsLeft = 3;
// An arc that has not reached its end after this many turns never will (end off its circle).
constexpr int64_t kGiveUpTurns = 2;
// Above this radius the run skipping is not used (its squares would leave 64 bits); such arcs
// are stepped one micron at a time.
constexpr int64_t kMaxSkipRadiusUm = int64_t{1} << 28;
// countSteps tests the cancel flag between walks of this many steps.
constexpr int64_t kCancelCheckSteps = 10 * 1024;

constexpr int64_t kMaxCount = std::numeric_limits<int32_t>::max();

int64_t sign(int64_t v) { return (v > 0) - (v < 0); }

uint8_t stepCode(int64_t sx, int64_t sy) {
    uint8_t code = 0;
    if (sx > 0) code |= kStepPosX;
    if (sx < 0) code |= kStepNegX;
    if (sy > 0) code |= kStepPosY;
    if (sy < 0) code |= kStepNegY;
    return code;
}

int32_t narrow(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// ---------------------------------------------------------------------------------------------
// Line stepper

// The octant of a line: the major axis, the direction signs, the major length D and the minor
// length E. The signs follow the octant table, which settles the boundary cases (dx or dy 0).
struct LineOctant {
    bool xMajor;
    int64_t sx, sy;
    int64_t major, minor;
    uint8_t straight, diagonal;
};

LineOctant lineOctant(int64_t dx, int64_t dy) {
    LineOctant o{};
    if (dx >= 0 && dy >= 0) {
        o.sx = 1, o.sy = 1;
    } else if (dx < 0 && dy > 0) {
        o.sx = -1, o.sy = 1;
    } else if (dx <= 0 && dy <= 0) {
        o.sx = -1, o.sy = -1;
    } else {
        o.sx = 1, o.sy = -1;
    }
    const int64_t ax = dx < 0 ? -dx : dx;
    const int64_t ay = dy < 0 ? -dy : dy;
    o.xMajor = ax >= ay;
    o.major = o.xMajor ? ax : ay;
    o.minor = o.xMajor ? ay : ax;
    o.straight = o.xMajor ? stepCode(o.sx, 0) : stepCode(0, o.sy);
    o.diagonal = stepCode(o.sx, o.sy);
    return o;
}

// Steps along (dx, dy) from (x, y), both relative to the run's start point.
int runLine(int64_t dx, int64_t dy, int64_t& x, int64_t& y, int n, uint8_t* codes) {
    const LineOctant o = lineOctant(dx, dy);
    int64_t k = o.xMajor ? x * o.sx : y * o.sy;  // along the major axis, in the travel direction
    int64_t m = o.xMajor ? y * o.sy : x * o.sx;  // along the minor axis
    const Wide twoE = Wide{2} * o.minor;
    const Wide twoD = Wide{2} * o.major;
    Wide u = twoE * (k + 1) - Wide{o.major} * (2 * Wide{m} + 1);
    int produced = 0;
    while (k < o.major && produced < n) {
        uint8_t code;
        if (u >= 0) {
            code = o.diagonal;
            ++m;
            u += twoE - twoD;
        } else {
            code = o.straight;
            u += twoE;
        }
        ++k;
        if (codes) codes[produced] = code;
        ++produced;
    }
    x = o.xMajor ? k * o.sx : m * o.sx;
    y = o.xMajor ? m * o.sy : k * o.sy;
    return produced;
}

int64_t lineSteps(const PathElement& e) {
    const int64_t ax = std::abs(int64_t{e.endX});
    const int64_t ay = std::abs(int64_t{e.endY});
    return std::max(ax, ay);
}

// The cursor after k steps from a fresh cursor, in closed form: the stepper's minor coordinate
// after i steps is floor((2E*i + D) / (2D)) (by induction over the error term), and every step
// advances the major coordinate by one.
StepState linePositionAfter(const PathElement& e, int64_t k) {
    const LineOctant o = lineOctant(e.endX, e.endY);
    if (o.major == 0 || k <= 0) return StepState{};
    k = std::min(k, o.major);
    const int64_t m =
        static_cast<int64_t>((Wide{2} * o.minor * k + o.major) / (Wide{2} * o.major));
    StepState s;
    s.steps = narrow(k);
    s.x = narrow(o.xMajor ? k * o.sx : m * o.sx);
    s.y = narrow(o.xMajor ? m * o.sy : k * o.sy);
    return s;
}

// ---------------------------------------------------------------------------------------------
// Arc stepper

// One quarter of the circle for one direction: p = px*x + py*y, q = qx*x + qy*y, and the step
// codes of A (q-1), B (p+1) and D (both). The map is a signed permutation, so its inverse is its
// transpose: x = px*p + qx*q, y = py*p + qy*q.
struct Quarter {
    int64_t px, py, qx, qy;
    uint8_t a, b, d;
};

constexpr Quarter kCcwQuarters[4] = {
    {0, 1, 1, 0, kStepNegX, kStepPosY, kStepNegXPosY},   // x > 0, y >= 0
    {-1, 0, 0, 1, kStepNegY, kStepNegX, kStepNegXNegY},  // x <= 0, y > 0
    {0, -1, -1, 0, kStepPosX, kStepNegY, kStepPosXNegY}, // x < 0, y <= 0
    {1, 0, 0, -1, kStepPosY, kStepPosX, kStepPosXPosY},  // x >= 0, y < 0
};
constexpr Quarter kCwQuarters[4] = {
    {1, 0, 0, 1, kStepNegY, kStepPosX, kStepPosXNegY},   // x >= 0, y > 0
    {0, 1, -1, 0, kStepPosX, kStepPosY, kStepPosXPosY},  // x < 0, y >= 0
    {-1, 0, 0, -1, kStepPosY, kStepNegX, kStepNegXPosY}, // x <= 0, y < 0
    {0, -1, 1, 0, kStepNegX, kStepNegY, kStepNegXNegY},  // x > 0, y <= 0
};

// The quarter the cursor lies in, or null on the centre (which lies in none: the stepper stops).
const Quarter* quarterOf(bool ccw, int64_t x, int64_t y) {
    if (ccw) {
        if (x > 0 && y >= 0) return &kCcwQuarters[0];
        if (x <= 0 && y > 0) return &kCcwQuarters[1];
        if (x < 0 && y <= 0) return &kCcwQuarters[2];
        if (x >= 0 && y < 0) return &kCcwQuarters[3];
    } else {
        if (x >= 0 && y > 0) return &kCwQuarters[0];
        if (x < 0 && y >= 0) return &kCwQuarters[1];
        if (x <= 0 && y < 0) return &kCwQuarters[2];
        if (x > 0 && y <= 0) return &kCwQuarters[3];
    }
    return nullptr;
}

// Smallest c >= 0 with c*c >= h.
int64_t ceilSqrt(int64_t h) {
    if (h <= 0) return 0;
    int64_t r = static_cast<int64_t>(std::sqrt(static_cast<double>(h)));
    while (r > 0 && r * r >= h) --r;
    while ((r + 1) * (r + 1) < h) ++r;
    return r + 1;
}

// A generous bound on the steps of one full turn (about 4*sqrt(2)*R).
int64_t turnStepsBound(int64_t radius) {
    const int64_t r = std::max<int64_t>(radius, 0);
    return 4 * static_cast<int64_t>(1.41422 * static_cast<double>(r)) + 16;
}

class ArcWalker {
public:
    enum class Step { Taken, TakenAndEnded, Ended };

    ArcWalker(const PathElement& e, const StepState& c, bool backward)
        : x_(c.x), y_(c.y), steps_(c.steps),
          tx_(backward ? e.startX : e.endX), ty_(backward ? e.startY : e.endY),
          r_(e.radius), r2_(Wide{e.radius} * e.radius), total_(e.steps),
          ccw_((e.kind == kElementArcCcw) != backward), backward_(backward),
          startDiffersFromEnd_(e.startX != e.endX || e.startY != e.endY),
          beginX_(backward ? e.endX : e.startX), beginY_(backward ? e.endY : e.startY) {}

    StepState cursor() const { return StepState{narrow(steps_), narrow(x_), narrow(y_)}; }
    bool onTarget() const { return x_ == tx_ && y_ == ty_; }

    // One step of the stepper, its code in `code`. Every step moves the cursor by exactly its
    // code, so the codes of a run add up to the cursor's change.
    Step step(uint8_t& code) {
        const int64_t dx = tx_ - x_;
        const int64_t dy = ty_ - y_;
        if (dx == 0 && dy == 0 && arrived()) return Step::Ended;
        if (withinReach(dx, dy) && approachActive()) {
            if (dx == 0 && dy == 0) return Step::Ended;
            // Within 1 µm on both axes the last step lands on the target; 2 µm off on one or
            // both axes, one step toward it first and the last step on the next call.
            code = stepCode(sign(dx), sign(dy));
            x_ += sign(dx);
            y_ += sign(dy);
            addSteps(1);
            return x_ == tx_ && y_ == ty_ ? Step::TakenAndEnded : Step::Taken;
        }
        const Quarter* quarter = quarterOf(ccw_, x_, y_);
        if (!quarter) return Step::Ended;
        int64_t p = quarter->px * x_ + quarter->py * y_;
        int64_t q = quarter->qx * x_ + quarter->qy * y_;
        const Wide f = Wide{q - 1} * (q - 1) + Wide{p + 1} * (p + 1) - r2_;
        if (f < 0) {
            if (2 * f + 2 * Wide{q} - 1 < 0) {
                code = quarter->b;
                ++p;
            } else {
                code = quarter->d;
                ++p, --q;
            }
        } else if (2 * f - 2 * Wide{p} - 1 < 0) {
            code = quarter->d;
            ++p, --q;
        } else {
            code = quarter->a;
            --q;
        }
        place(*quarter, p, q);
        addSteps(1);
        return Step::Taken;
    }

    // Advances by at most `budget` steps, skipping runs where the track is known. Returns the
    // steps taken; `ended` tells whether the stepper has stopped.
    int64_t walk(int64_t budget, bool& ended) {
        ended = false;
        int64_t taken = 0;
        const bool skipping = r_ > 0 && r_ <= kMaxSkipRadiusUm;
        while (taken < budget) {
            if (skipping && !withinReach(tx_ - x_, ty_ - y_)) {
                const int64_t skipped = skipRun(budget - taken);
                if (skipped > 0) {
                    taken += skipped;
                    continue;
                }
            }
            uint8_t code;
            const Step s = step(code);
            if (s == Step::Ended) {
                ended = true;
                break;
            }
            ++taken;
            if (s == Step::TakenAndEnded) {
                ended = true;
                break;
            }
        }
        return taken;
    }

private:
    static bool withinReach(int64_t dx, int64_t dy) {
        return dx <= kApproachReachUm && dx >= -kApproachReachUm && dy <= kApproachReachUm &&
               dy >= -kApproachReachUm;
    }

    // A cursor on its target that has arrived there: it gives no step. Forward, once at least
    // one step is done (a fresh cursor of a full circle sits on its target and goes round).
    // Backward, once at least one step is undone and the approach would apply there.
    bool arrived() const {
        if (!backward_) return steps_ > 0;
        return steps_ < total_ &&
               (steps_ < kApproachStepsLeft || total_ - steps_ > kApproachAfterSteps ||
                ahead(beginX_, beginY_));
    }

    // Whether the approach rule applies (see the top of this file).
    bool approachActive() const {
        const int64_t done = backward_ ? total_ - steps_ : steps_;
        if (!backward_ && done > kApproachAfterSteps) return true;
        if (backward_ && steps_ < kApproachStepsLeft) return true;
        if (!startDiffersFromEnd_) return false;  // a full circle goes round
        if (backward_) return done > kApproachAfterSteps ? ahead(x_, y_) : ahead(beginX_, beginY_);
        // Within the first steps, seen from the cursor and from where the run began: the first
        // step of a 2 µm approach can leave an end that lies off the circle level with the
        // cursor or just behind it, and the last step must still follow.
        return ahead(x_, y_) || ahead(beginX_, beginY_);
    }

    // True when the target lies less than half a turn ahead of (x, y) in the direction of
    // travel.
    bool ahead(int64_t x, int64_t y) const {
        const Wide cross = Wide{x} * ty_ - Wide{y} * tx_;
        return ccw_ ? cross > 0 : cross < 0;
    }

    void addSteps(int64_t n) {
        steps_ = backward_ ? std::max<int64_t>(steps_ - n, 0) : steps_ + n;
    }

    void place(const Quarter& quarter, int64_t p, int64_t q) {
        x_ = quarter.px * p + quarter.qx * q;
        y_ = quarter.py * p + quarter.qy * q;
    }

    // (a, b) on track: (2b-1)^2 < h(a) <= (2b+1)^2.
    bool onTrack(int64_t a, int64_t b) const {
        const Wide h = 4 * r2_ - 4 * Wide{a} * a - 1;
        const Wide lo = 2 * Wide{b} - 1;
        const Wide hi = 2 * Wide{b} + 1;
        return lo * lo < h && h <= hi * hi;
    }

    // The smallest b >= 0 with (2b+1)^2 >= h(a); a lies within 0..R+1 here.
    int64_t track(int64_t a) const {
        const int64_t h = static_cast<int64_t>(4 * r2_ - 4 * Wide{a} * a - 1);
        return ceilSqrt(h) / 2;
    }

    // Skips a run of at most `budget` steps whose end is known in closed form (see the top of
    // this file). Returns the steps skipped, 0 when no run starts here.
    int64_t skipRun(int64_t budget) {
        const Quarter* quarter = quarterOf(ccw_, x_, y_);
        if (!quarter) return 0;
        const int64_t p = quarter->px * x_ + quarter->py * y_;
        const int64_t q = quarter->qx * x_ + quarter->qy * y_;
        const int64_t pt = quarter->px * tx_ + quarter->py * ty_;
        const int64_t qt = quarter->qx * tx_ + quarter->qy * ty_;

        if (q >= p + 2 && onTrack(p, q)) {
            // Before the 45-degree point: find the last step start p' (all starts from p to p'
            // keep q >= p + 2) and land one step after it.
            int64_t hi = std::min(p + budget - 1, r_);
            if (p < pt + kApproachReachUm) hi = std::min(hi, pt - kApproachReachUm - 1);
            if (hi < p) return 0;
            int64_t lo = p;
            while (lo < hi) {
                const int64_t mid = lo + (hi - lo + 1) / 2;
                if (track(mid) >= mid + 2) lo = mid;
                else hi = mid - 1;
            }
            const int64_t landing = lo + 1;
            place(*quarter, landing, track(landing));
            addSteps(landing - p);
            return landing - p;
        }
        if (q >= 1 && q <= p + 1 && onTrack(q, p)) {
            // After the 45-degree point: every step lowers q by one, down to the axis.
            int64_t landing = std::max<int64_t>(0, q - budget);
            if (q > qt - kApproachReachUm) landing = std::max(landing, qt + kApproachReachUm);
            if (landing >= q) return 0;
            place(*quarter, track(landing), landing);
            addSteps(q - landing);
            return q - landing;
        }
        return 0;
    }

    int64_t x_, y_, steps_;
    const int64_t tx_, ty_;
    const int64_t r_;
    const Wide r2_;
    const int64_t total_;  // the element's steps field (0 when not counted)
    const bool ccw_, backward_, startDiffersFromEnd_;
    const int64_t beginX_, beginY_;  // where a run begins: the start offset, backward the end
};

bool isLineStepper(const PathElement& e) {
    return e.kind == kElementLine || e.kind == kElementEmpty;
}

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

}  // namespace

StepState freshCursor(const PathElement& e) {
    if (e.isArc()) return StepState{0, e.startX, e.startY};
    return StepState{};
}

StepState endCursor(const PathElement& e) {
    if (e.isArc() || isLineStepper(e)) return StepState{e.steps, e.endX, e.endY};
    return StepState{};
}

int stepElement(const PathElement& e, StepState& cursor, int n, uint8_t* codes, bool backward) {
    if (n <= 0) return 0;
    if (isLineStepper(e)) {
        const int64_t dx = e.endX;
        const int64_t dy = e.endY;
        int64_t x = cursor.x;
        int64_t y = cursor.y;
        int produced;
        if (backward) {
            // The same stepper, run from the end point toward the start.
            x -= dx;
            y -= dy;
            produced = runLine(-dx, -dy, x, y, n, codes);
            x += dx;
            y += dy;
            cursor.steps = narrow(int64_t{cursor.steps} - produced);
        } else {
            produced = runLine(dx, dy, x, y, n, codes);
            cursor.steps = narrow(int64_t{cursor.steps} + produced);
        }
        cursor.x = narrow(x);
        cursor.y = narrow(y);
        return produced;
    }
    if (!e.isArc()) return 0;

    ArcWalker walker(e, cursor, backward);
    int produced = 0;
    while (produced < n) {
        uint8_t code = 0;
        const ArcWalker::Step s = walker.step(code);
        if (s == ArcWalker::Step::Ended) break;
        if (codes) codes[produced] = code;
        ++produced;
        if (s == ArcWalker::Step::TakenAndEnded) break;
    }
    cursor = walker.cursor();
    return produced;
}

int32_t countSteps(const PathElement& e, const std::atomic<bool>* cancel) {
    if (cancelled(cancel)) return 0;
    if (isLineStepper(e)) {
        // Every step of the line stepper advances the major coordinate by exactly one.
        const int64_t n = lineSteps(e);
        return n > kMaxCount ? kStepsUnending : static_cast<int32_t>(n);
    }
    if (!e.isArc()) return 0;

    const int64_t limit = kGiveUpTurns * turnStepsBound(e.radius);
    ArcWalker walker(e, freshCursor(e), false);
    int64_t taken = 0;
    bool ended = false;
    // One step beyond the limit shows whether the arc would have ended within it.
    while (!ended && taken <= limit) {
        taken += walker.walk(std::min(kCancelCheckSteps, limit + 1 - taken), ended);
        if (!ended && cancelled(cancel)) return narrow(std::min(taken, kMaxCount));
    }
    if (!ended || taken > limit || !walker.onTarget() || taken > kMaxCount) return kStepsUnending;
    return static_cast<int32_t>(taken);
}

int positionAfterSteps(const PathElement& e, int32_t k, StepState& out,
                       const std::function<void(int)>& progress,
                       const std::atomic<bool>* cancel) {
    out = freshCursor(e);
    if (progress) progress(0);
    if (cancelled(cancel)) return -1;
    if (k > 0 && isLineStepper(e)) {
        out = linePositionAfter(e, k);
    } else if (k > 0 && e.isArc()) {
        ArcWalker walker(e, out, false);
        // Report progress at most once per percent.
        const int64_t chunk = std::max<int64_t>(1, k / 100);
        int64_t done = 0;
        int lastPercent = 0;
        bool ended = false;
        while (done < k && !ended) {
            if (cancelled(cancel)) {
                out = walker.cursor();
                return -1;
            }
            const int64_t taken = walker.walk(std::min<int64_t>(chunk, k - done), ended);
            done += taken;
            const int percent = static_cast<int>(done * 100 / k);
            if (progress && percent != lastPercent && percent < 100) progress(percent);
            lastPercent = percent;
        }
        out = walker.cursor();
    }
    if (progress) progress(100);
    return 0;
}

}  // namespace korvex
