#include "code/step.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace korvex {
namespace {

struct Move { int dx, dy; };

Move moveOf(uint8_t code) {
    return {((code & kStepPosX) ? 1 : 0) - ((code & kStepNegX) ? 1 : 0),
            ((code & kStepPosY) ? 1 : 0) - ((code & kStepNegY) ? 1 : 0)};
}

bool isStepCode(uint8_t code) {
    switch (code) {
    case 1: case 2: case 4: case 8: case 3: case 6: case 12: case 9: return true;
    default: return false;
    }
}

PathElement line(int32_t dx, int32_t dy) {
    PathElement e;
    e.kind = kElementLine;
    e.endX = dx;
    e.endY = dy;
    return e;
}

PathElement arc(ElementKind kind, int32_t sx, int32_t sy, int32_t ex, int32_t ey) {
    PathElement e;
    e.kind = kind;
    e.startX = sx;
    e.startY = sy;
    e.endX = ex;
    e.endY = ey;
    e.radiusSquared = int64_t{sx} * sx + int64_t{sy} * sy;
    e.radius = roundMicron(std::sqrt(static_cast<double>(e.radiusSquared)));
    return e;
}

// Steps from `cursor` in batches of 10 until a batch comes short or `limit` steps are done,
// collecting the codes: the reference every faster path is compared against.
std::vector<uint8_t> stepAll(const PathElement& e, StepState& cursor, bool backward,
                             int64_t limit = 10'000'000) {
    std::vector<uint8_t> codes;
    uint8_t batch[10];
    while (static_cast<int64_t>(codes.size()) <= limit) {
        const int n = stepElement(e, cursor, 10, batch, backward);
        codes.insert(codes.end(), batch, batch + n);
        if (n < 10) break;
    }
    return codes;
}

// What countSteps must return, found by plain stepping.
int64_t referenceCount(const PathElement& e) {
    const int64_t limit = 2 * (4 * static_cast<int64_t>(1.41422 * e.radius) + 16);
    StepState c = freshCursor(e);
    const auto codes = stepAll(e, c, false, limit);
    const int64_t n = static_cast<int64_t>(codes.size());
    if (n > limit || c.x != e.endX || c.y != e.endY) return kStepsUnending;
    return n;
}

Move sum(const std::vector<uint8_t>& codes) {
    Move m{0, 0};
    for (uint8_t c : codes) {
        m.dx += moveOf(c).dx;
        m.dy += moveOf(c).dy;
    }
    return m;
}

// ---------------------------------------------------------------------------------------------
// Lines

TEST(LineStepper, KnownCodeSequences) {
    struct Case { int32_t dx, dy; std::vector<uint8_t> codes; };
    const Case cases[] = {
        {3, 1, {1, 3, 1}},
        {1, 3, {2, 3, 2}},
        {-3, 1, {4, 6, 4}},
        {-3, -1, {4, 12, 4}},
        {3, -1, {1, 9, 1}},
        {0, -2, {8, 8}},
        {-2, 0, {4, 4}},
        {2, 2, {3, 3}},
        {0, 0, {}},
    };
    for (const Case& c : cases) {
        StepState cursor;
        EXPECT_EQ(stepAll(line(c.dx, c.dy), cursor, false), c.codes) << c.dx << "," << c.dy;
        EXPECT_EQ(cursor, (StepState{static_cast<int32_t>(c.codes.size()), c.dx, c.dy}));
    }
}

TEST(LineStepper, LongAxisAndDiagonalLinesUseOneCode) {
    StepState c;
    const auto straight = stepAll(line(1000, 0), c, false);
    ASSERT_EQ(straight.size(), 1000u);
    EXPECT_EQ(std::count(straight.begin(), straight.end(), kStepPosX), 1000);
    c = {};
    const auto diagonal = stepAll(line(1000, 1000), c, false);
    ASSERT_EQ(diagonal.size(), 1000u);
    EXPECT_EQ(std::count(diagonal.begin(), diagonal.end(), kStepPosXPosY), 1000);
}

TEST(LineStepper, ForwardThenBackwardFromTheMiddleReturnsToTheStart) {
    const PathElement e = line(1000, 377);
    StepState c;
    uint8_t codes[400];
    ASSERT_EQ(stepElement(e, c, 400, codes, false), 400);
    ASSERT_EQ(stepElement(e, c, 400, codes, true), 400);
    EXPECT_EQ(c, StepState{});
}

TEST(LineStepper, RandomLinesCountStepAndReverseExactly) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int32_t> len(-3000, 3000);
    for (int i = 0; i < 3000; ++i) {
        PathElement e = line(len(rng), len(rng));
        if (i % 10 == 0) e.endY = 0;
        if (i % 10 == 1) e.endX = 0;
        const int64_t major = std::max(std::abs(e.endX), std::abs(e.endY));
        ASSERT_EQ(countSteps(e), major);

        StepState c = freshCursor(e);
        const auto codes = stepAll(e, c, false);
        ASSERT_EQ(static_cast<int64_t>(codes.size()), major);
        const Move m = sum(codes);
        ASSERT_EQ(m.dx, e.endX);
        ASSERT_EQ(m.dy, e.endY);
        ASSERT_EQ(c, (StepState{static_cast<int32_t>(major), e.endX, e.endY}));

        // Backward from the end: the same number of steps back to the start.
        e.steps = static_cast<int32_t>(major);
        StepState back = endCursor(e);
        const auto backCodes = stepAll(e, back, true);
        ASSERT_EQ(static_cast<int64_t>(backCodes.size()), major);
        ASSERT_EQ(back, StepState{});

        // The closed-form position after k steps is the stepped one.
        const int32_t k = major ? static_cast<int32_t>(rng() % (major + 1)) : 0;
        StepState stepped = freshCursor(e);
        uint8_t buf[6001];
        stepElement(e, stepped, k, buf, false);
        StepState reached;
        ASSERT_EQ(positionAfterSteps(e, k, reached), 0);
        ASSERT_EQ(reached, stepped) << e.endX << "," << e.endY << " k=" << k;
    }
}

TEST(StepElement, KindsWithoutMotionHaveNoSteps) {
    for (int32_t kind : {kElementNoMotion, kElementPause, kElementSwitch}) {
        PathElement e;
        e.kind = kind;
        e.endX = 500;  // a G00 keeps its end; it is still not stepped
        e.endY = 200;
        StepState c;
        uint8_t codes[10];
        EXPECT_EQ(stepElement(e, c, 10, codes, false), 0);
        EXPECT_EQ(countSteps(e), 0);
        EXPECT_EQ(c, StepState{});
    }
}

// ---------------------------------------------------------------------------------------------
// Arcs

TEST(ArcStepper, FullCircleFromAnAxisEndsOnItsStart) {
    for (ElementKind kind : {kElementArcCcw, kElementArcCw}) {
        const PathElement e = arc(kind, 1000, 0, 1000, 0);
        StepState c = freshCursor(e);
        const auto codes = stepAll(e, c, false);
        EXPECT_EQ(c.x, 1000);
        EXPECT_EQ(c.y, 0);
        EXPECT_NEAR(static_cast<double>(codes.size()), 4 * std::numbers::sqrt2 * 1000, 8);
        const Move m = sum(codes);
        EXPECT_EQ(m.dx, 0);
        EXPECT_EQ(m.dy, 0);
        EXPECT_EQ(countSteps(e), static_cast<int32_t>(codes.size()));
    }
}

TEST(ArcStepper, ApproachStepsMoveTheWireExactlyOntoTheTarget) {
    // Cursors a few steps before the end (forward) or the start (backward), d = target - cursor:
    // within 1 µm on both axes the last step is d itself; 2 µm off on one or both axes a step
    // toward the target comes first. The cursor moves with every code.
    struct Case { ElementKind kind; int32_t tx, ty; int32_t dx, dy; std::vector<uint8_t> codes; };
    const Case cases[] = {
        {kElementArcCcw, 1000, 0, 0, 2, {kStepPosY, kStepPosY}},
        {kElementArcCw, 1000, 0, 0, -2, {kStepNegY, kStepNegY}},
        {kElementArcCcw, 0, 1000, -2, 0, {kStepNegX, kStepNegX}},
        {kElementArcCw, 0, -1000, 2, 0, {kStepPosX, kStepPosX}},
        {kElementArcCcw, 707, 707, 1, -1, {kStepPosXNegY}},
        {kElementArcCcw, 707, 707, -1, 0, {kStepNegX}},
        {kElementArcCcw, -707, 707, -2, -1, {kStepNegXNegY, kStepNegX}},
        {kElementArcCcw, -707, -707, 1, -2, {kStepPosXNegY, kStepNegY}},
        {kElementArcCw, 707, -707, -2, -2, {kStepNegXNegY, kStepNegXNegY}},
        {kElementArcCw, 707, 707, 2, -1, {kStepPosXNegY, kStepPosX}},
        {kElementArcCw, -707, 707, 2, 2, {kStepPosXPosY, kStepPosXPosY}},
        {kElementArcCcw, 707, -707, -1, 2, {kStepNegXPosY, kStepPosY}},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(testing::Message() << "target " << t.tx << "," << t.ty << " d " << t.dx << "," << t.dy);
        // Forward toward the end offset.
        PathElement e = arc(t.kind, 1000, 0, t.tx, t.ty);
        StepState c{50, t.tx - t.dx, t.ty - t.dy};
        EXPECT_EQ(stepAll(e, c, false), t.codes);
        EXPECT_EQ(c, (StepState{50 + static_cast<int32_t>(t.codes.size()), t.tx, t.ty}));
        // Backward toward the start offset, with the same codes.
        e = arc(t.kind, t.tx, t.ty, 1000, 0);
        e.steps = 60;
        c = StepState{2, t.tx - t.dx, t.ty - t.dy};
        EXPECT_EQ(stepAll(e, c, true), t.codes);
        EXPECT_EQ(c.x, t.tx);
        EXPECT_EQ(c.y, t.ty);
    }
}

TEST(ArcStepper, AnArcOnItsEndGivesNoMoreStepsWhateverTheBatches) {
    // Arcs of a few steps, whose end lies within reach of their start: once on the end, another
    // call gives nothing, so batches of 1, of the exact count and of 10 give the same codes.
    struct Case { ElementKind kind; int32_t sx, sy, ex, ey; };
    const Case cases[] = {
        {kElementArcCcw, 1000, 0, 1000, 1}, {kElementArcCcw, 1000, 0, 1000, 2},
        {kElementArcCcw, 1000, 0, 999, 2},  {kElementArcCw, 0, 1000, 2, 999},
        {kElementArcCcw, 3, 1, 2, 2},       {kElementArcCw, -2, -2, -3, -1},
        {kElementArcCcw, 1, 1, -1, 1},      {kElementArcCw, 2, 0, 1, -2},
    };
    for (const Case& t : cases) {
        PathElement e = arc(t.kind, t.sx, t.sy, t.ex, t.ey);
        e.steps = countSteps(e);
        SCOPED_TRACE(testing::Message() << "start " << t.sx << "," << t.sy << " steps " << e.steps);
        ASSERT_GT(e.steps, 0);
        ASSERT_LE(e.steps, 4);
        for (bool backward : {false, true}) {
            const StepState from = backward ? endCursor(e) : freshCursor(e);
            StepState once = from;
            const auto all = stepAll(e, once, backward);
            uint8_t code;
            for (int32_t batch = 1; batch <= e.steps; ++batch) {
                StepState c = from;
                std::vector<uint8_t> codes;
                for (int call = 0; call < 20; ++call) {
                    std::vector<uint8_t> buf(static_cast<std::size_t>(batch));
                    const int n = stepElement(e, c, batch, buf.data(), backward);
                    codes.insert(codes.end(), buf.begin(), buf.begin() + n);
                    if (n < batch) break;
                }
                EXPECT_EQ(codes, all) << "batch " << batch << (backward ? " backward" : " forward");
                EXPECT_EQ(c, once);
            }
            EXPECT_EQ(stepElement(e, once, 1, &code, backward), 0);
            const Move m = sum(all);
            EXPECT_EQ(m.dx, backward ? t.sx - t.ex : t.ex - t.sx);
            EXPECT_EQ(m.dy, backward ? t.sy - t.ey : t.ey - t.sy);
        }
    }
}

TEST(ArcStepper, ArcsOfOneToThreeStepsDoNotRunRoundTheCircle) {
    struct Case { ElementKind kind; int32_t sx, sy, ex, ey; int32_t steps; };
    const Case cases[] = {
        {kElementArcCcw, 1000, 0, 1000, 1, 1},
        {kElementArcCcw, 1000, 0, 1000, 2, 2},
        {kElementArcCcw, 1000, 0, 1000, 3, 3},
        {kElementArcCw, 1000, 0, 1000, -2, 2},
        {kElementArcCw, 0, 1000, 1, 1000, 1},
        {kElementArcCcw, 707, 707, 706, 708, 1},
        {kElementArcCcw, -707, -707, -706, -708, 1},
    };
    for (const Case& t : cases) {
        const PathElement e = arc(t.kind, t.sx, t.sy, t.ex, t.ey);
        StepState c = freshCursor(e);
        const auto codes = stepAll(e, c, false);
        EXPECT_EQ(static_cast<int32_t>(codes.size()), t.steps) << t.sx << "," << t.sy;
        EXPECT_EQ(c.x, t.ex);
        EXPECT_EQ(c.y, t.ey);
        EXPECT_EQ(countSteps(e), t.steps);
    }
}

TEST(ArcStepper, EndJustBehindTheStartGoesRound) {
    // Counter-clockwise, the end lies 1 µm clockwise of the start: almost a full turn.
    const PathElement e = arc(kElementArcCcw, 1000, 0, 1000, -1);
    const int32_t n = countSteps(e);
    EXPECT_GT(n, 5600);
    EXPECT_EQ(n, referenceCount(e));
}

TEST(ArcStepper, EndOffItsCircleIsGivenUpNotSteppedForEver) {
    // An ISO arc whose end lies 10 µm outside its circle, and one whose radius is 0.
    EXPECT_EQ(countSteps(arc(kElementArcCw, 1000, 0, 0, 1010)), kStepsUnending);
    EXPECT_EQ(countSteps(arc(kElementArcCcw, 0, 0, 1000, 0)), kStepsUnending);
    EXPECT_EQ(referenceCount(arc(kElementArcCw, 1000, 0, 0, 1010)), kStepsUnending);
    // A point arc on its centre has nothing to step.
    EXPECT_EQ(countSteps(arc(kElementArcCcw, 0, 0, 0, 0)), 0);
}

TEST(ArcStepper, AllDirectionsAndQuartersStayOnTheCircleAndEndOnTheEnd) {
    // Every direction, start quarter and end quarter, with the start and the end off the axes.
    const double radius = 2500;
    for (ElementKind kind : {kElementArcCw, kElementArcCcw}) {
        for (int from = 0; from < 4; ++from) {
            for (int to = 0; to < 4; ++to) {
                const double a0 = (from + 0.3) * std::numbers::pi / 2;
                const double a1 = (to + 0.6) * std::numbers::pi / 2;
                const PathElement e =
                    arc(kind, static_cast<int32_t>(std::lround(radius * std::cos(a0))),
                        static_cast<int32_t>(std::lround(radius * std::sin(a0))),
                        static_cast<int32_t>(std::lround(radius * std::cos(a1))),
                        static_cast<int32_t>(std::lround(radius * std::sin(a1))));
                SCOPED_TRACE(testing::Message() << "kind " << kind << " from " << from
                                                << " to " << to);
                StepState c = freshCursor(e);
                const auto codes = stepAll(e, c, false);
                ASSERT_EQ(c.x, e.endX);
                ASSERT_EQ(c.y, e.endY);
                ASSERT_EQ(countSteps(e), static_cast<int32_t>(codes.size()));
                // Each step keeps to the circle and never moves against the direction.
                int64_t x = e.startX, y = e.startY;
                for (size_t i = 0; i + 1 < codes.size(); ++i) {
                    ASSERT_TRUE(isStepCode(codes[i]));
                    const Move m = moveOf(codes[i]);
                    const int64_t cross = x * m.dy - y * m.dx;
                    ASSERT_TRUE(kind == kElementArcCcw ? cross >= 0 : cross <= 0) << i;
                    x += m.dx;
                    y += m.dy;
                    ASSERT_NEAR(std::hypot(double(x), double(y)), e.radius, 1.0) << i;
                }
            }
        }
    }
}

TEST(ArcStepper, RandomArcsCountReverseAndResumeLikePlainStepping) {
    std::mt19937_64 rng(2026);
    std::uniform_real_distribution<double> angle(0, 2 * std::numbers::pi);
    int counted = 0;
    for (int i = 0; i < 3000; ++i) {
        const double maxRadius = i % 3 == 0 ? 12 : (i % 3 == 1 ? 400 : 6000);
        const double r = std::uniform_real_distribution<double>(1, maxRadius)(rng);
        const double a0 = angle(rng), a1 = angle(rng);
        int32_t sx = static_cast<int32_t>(std::lround(r * std::cos(a0)));
        int32_t sy = static_cast<int32_t>(std::lround(r * std::sin(a0)));
        int32_t ex = static_cast<int32_t>(std::lround(r * std::cos(a1)));
        int32_t ey = static_cast<int32_t>(std::lround(r * std::sin(a1)));
        switch (i % 6) {
        case 0: ex = sx, ey = sy; break;                                   // full circle
        case 1: ex += int32_t(rng() % 9) - 4, ey += int32_t(rng() % 9) - 4; break;  // off it
        case 2: ex = sx + int32_t(rng() % 5) - 2, ey = sy + int32_t(rng() % 5) - 2; break;
        default: break;
        }
        PathElement e = arc((rng() & 1) ? kElementArcCw : kElementArcCcw, sx, sy, ex, ey);
        if (e.radius == 0 || (ex == 0 && ey == 0)) continue;
        SCOPED_TRACE(testing::Message() << "kind " << e.kind << " start " << sx << "," << sy
                                        << " end " << ex << "," << ey);
        const int64_t expected = referenceCount(e);
        ASSERT_EQ(countSteps(e), expected);
        if (expected == kStepsUnending) continue;
        ++counted;

        // Backward from the end returns to the start, with (almost) all steps undone.
        e.steps = static_cast<int32_t>(expected);
        StepState back = endCursor(e);
        stepAll(e, back, true, 3 * expected + 32);
        ASSERT_EQ(back.x, sx);
        ASSERT_EQ(back.y, sy);
        ASSERT_LE(back.steps, 2);

        // The position after k steps is the stepped one.
        const int32_t k = static_cast<int32_t>(rng() % (expected + 2));
        StepState stepped = freshCursor(e);
        std::vector<uint8_t> buf(k + 1);
        stepElement(e, stepped, k, buf.data(), false);
        StepState reached;
        ASSERT_EQ(positionAfterSteps(e, k, reached), 0);
        ASSERT_EQ(reached, stepped) << "k=" << k;
    }
    EXPECT_GT(counted, 1700);
}

TEST(ArcStepper, FullCirclesStayWithinTheGiveUpBudget) {
    // Two turns are the give-up budget; a real full circle must fit well within one of them.
    for (int32_t r = 1; r <= 3000; r += (r < 50 ? 1 : 37)) {
        for (ElementKind kind : {kElementArcCw, kElementArcCcw}) {
            const PathElement e = arc(kind, r, r / 3, r, r / 3);
            const int32_t n = countSteps(e);
            ASSERT_GT(n, 0) << r;
            ASSERT_LE(n, 4 * static_cast<int64_t>(1.41422 * e.radius) + 16) << r;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Progress and cancel

TEST(PositionAfterSteps, ReportsRisingProgressAndStopsOnCancel) {
    const PathElement e = arc(kElementArcCcw, 5000, 0, -5000, 0);
    std::vector<int> seen;
    StepState out;
    ASSERT_EQ(positionAfterSteps(e, 20000, out, [&](int p) { seen.push_back(p); }), 0);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(out.x, -5000);  // the half circle ends before 20000 steps
    EXPECT_EQ(out.y, 0);

    std::atomic<bool> cancel{false};
    int calls = 0;
    const int result = positionAfterSteps(e, 12000, out, [&](int p) {
        if (++calls == 3) cancel = true;  // the operator cancels part way
        (void)p;
    }, &cancel);
    EXPECT_EQ(result, -1);
    EXPECT_LT(out.steps, 12000);
}

TEST(CountSteps, CancelBeforeTheStartCountsNothing) {
    std::atomic<bool> cancel{true};
    EXPECT_EQ(countSteps(arc(kElementArcCw, 3000, 4000, 3000, 4000), &cancel), 0);
    EXPECT_EQ(countSteps(line(500, 20), &cancel), 0);
}

}  // namespace
}  // namespace korvex
