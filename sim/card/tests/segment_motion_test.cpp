#include "sim/card/segment_motion.h"

#include <random>

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
    const TaperGeometry taper{600, 300, 150, 20};  // height 60 mm, width 30, base 15, R 2 (tenths)
    ContourPoint p{10000, -4000, 13000, -4000};
    const GuidePositions g = p.guides(true, taper);
    EXPECT_EQ(g.u, 600 * 3000 / 300);  // H (Ux - Lx) / T
    EXPECT_EQ(g.v, 0);
    EXPECT_EQ(g.y, -4000);
    EXPECT_EQ(g.x, (450 * 10000 - 150 * 13000) / 300 - 9) << "9.975 microns of roller correction";
    EXPECT_EQ(g.rollerFraction, 975);
    const ContourPoint back = ContourPoint::fromGuides(g, true, taper);
    EXPECT_EQ(back.lx, 10000) << "the roller correction is undone";
    EXPECT_EQ(back.ux, 13000);
    // One contour: the guides are the contours.
    const GuidePositions one = p.guides(false, taper);
    EXPECT_EQ(one.x, 10000);
    EXPECT_EQ(one.u, 13000);
}

// A start point handed over as guide positions is the contour point they came from, whatever
// the roller radius, when the part is thinner than the rollers' distance; and in every case the
// point found has exactly the guides given.
TEST(SegmentMotion, AStartPointGivenAsGuidesIsTheContourPointTheyCameFrom) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int64_t> coordinate(-2'000'000, 2'000'000);
    std::uniform_int_distribution<int32_t> tenths(1, 2000);
    std::uniform_int_distribution<int32_t> radius(0, 1000);
    for (int i = 0; i < 5000; ++i) {
        TaperGeometry taper;
        taper.height = tenths(random) + 1;
        taper.width = std::uniform_int_distribution<int32_t>(1, taper.height)(random);
        taper.base = tenths(random);
        taper.radius = radius(random);
        ContourPoint p;
        p.lx = coordinate(random);
        p.ly = coordinate(random);
        // Up to 45 degrees: as far over as the thickness.
        std::uniform_int_distribution<int64_t> tilt(-int64_t{taper.width} * 100, int64_t{taper.width} * 100);
        p.ux = p.lx + tilt(random);
        p.uy = p.ly + tilt(random);
        const GuidePositions g = p.guides(true, taper);
        const ContourPoint back = ContourPoint::fromGuides(g, true, taper);
        const GuidePositions again = back.guides(true, taper);
        ASSERT_EQ(again.x, g.x) << i;
        ASSERT_EQ(again.y, g.y) << i;
        ASSERT_EQ(again.u, g.u) << i;
        ASSERT_EQ(again.v, g.v) << i;
        // Truncation toward zero makes the guide 0 stand for two contour points.
        if (g.y != 0) {
            ASSERT_EQ(back.ly, p.ly) << i;
            ASSERT_EQ(back.uy, p.uy) << i;
        }
        const int64_t t = taper.width, b = taper.base;
        if (((t + b) * p.lx - b * p.ux) / t != 0) {
            ASSERT_EQ(back.lx, p.lx) << i;
            ASSERT_EQ(back.ux, p.ux) << i;
        }
    }
}

}  // namespace
}  // namespace korvex::sim
