#include "sim/card/segment_motion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvex::sim {
namespace {

PathElement lineElement(int32_t dx, int32_t dy) {
    PathElement e;
    e.kind = kElementLine;
    e.endX = dx;
    e.endY = dy;
    e.steps = countSteps(e);
    return e;
}

PathElement arcElement(int32_t kind, int32_t sx, int32_t sy, int32_t ex, int32_t ey) {
    PathElement e;
    e.kind = kind;
    e.startX = sx;
    e.startY = sy;
    e.endX = ex;
    e.endY = ey;
    e.radiusSquared = int64_t{sx} * sx + int64_t{sy} * sy;
    e.radius = roundMicron(std::sqrt(static_cast<double>(e.radiusSquared)));
    e.steps = countSteps(e);
    return e;
}

TEST(SegmentMotion, TwoContoursLeaveTheSegmentTogetherForwardAndBackward) {
    CodeSegment s;
    s.twoContour = 1;
    s.lower = lineElement(1000, 0);
    s.upper = arcElement(kElementArcCcw, 700, 0, -700, 0);  // half circle, more steps than the line
    SegmentMotion m;
    m.loadAtEnd(s, false);
    ContourPoint p;
    int total = 0;
    bool lowerEndedEarly = false;
    while (!m.finished(false)) {
        total += m.step(37, false, p);
        if (!m.finished(false) && p.lx == 1000) lowerEndedEarly = true;
    }
    EXPECT_FALSE(lowerEndedEarly) << "the follower must not run ahead of the leader";
    EXPECT_EQ(total, s.upper.steps);
    EXPECT_EQ(p.lx, 1000);
    EXPECT_EQ(p.ly, 0);
    EXPECT_EQ(p.ux, -1400);
    EXPECT_EQ(p.uy, 0);
    EXPECT_EQ(m.lowerCursor().steps, s.lower.steps);

    while (!m.finished(true)) m.step(50, true, p);
    EXPECT_EQ(p.lx, 0);
    EXPECT_EQ(p.ux, 0);
    EXPECT_EQ(p.uy, 0);
    EXPECT_EQ(m.upperCursor().steps, 0);
    EXPECT_EQ(m.lowerCursor().steps, 0);
}

TEST(SegmentMotion, RapidMoveTravelsAndGroupSwitchStandsStill) {
    CodeSegment rapid;
    rapid.lower.kind = kElementSwitch;
    rapid.lower.endX = -250;
    rapid.lower.endY = 100;
    CodeSegment t17;
    t17.lower.kind = kElementSwitch;
    t17.lower.groupE = 2;
    EXPECT_FALSE(isGroupSwitch(rapid.lower));
    EXPECT_TRUE(isGroupSwitch(t17.lower));

    SegmentMotion m;
    ContourPoint p;
    m.loadAtEnd(rapid, false);
    while (!m.finished(false)) m.step(100, false, p);
    EXPECT_EQ(p.lx, -250);
    EXPECT_EQ(p.ly, 100);
    m.loadAtEnd(t17, false);
    EXPECT_TRUE(m.finished(false));
    EXPECT_EQ(m.step(10, false, p), 0);
}

TEST(SegmentMotion, GuidePositionsOfATaperRoundTrip) {
    const TaperGeometry taper{300, 600, 150, 20};  // height 30 mm, width 60, base 15, R 2 (tenths)
    ContourPoint p{10000, -4000, 10600, -4000};
    const GuidePositions g = p.guides(true, taper);
    EXPECT_EQ(g.u, 300 * 600 / 600);  // H (Ux - Lx) / T
    EXPECT_EQ(g.v, 0);
    EXPECT_EQ(g.y, -4000);
    const ContourPoint back = ContourPoint::fromGuides(g, true, taper);
    EXPECT_NEAR(static_cast<double>(back.lx), 10000.0, 2.0) << "only the roller correction is lost";
    EXPECT_EQ(back.ux - back.lx, 600);
    // One contour: the guides are the contours.
    const GuidePositions one = p.guides(false, taper);
    EXPECT_EQ(one.x, 10000);
    EXPECT_EQ(one.u, 10600);
}

}  // namespace
}  // namespace korvex::sim
