// Guide positions worked out by hand from the formulas with the stored tenths.
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "geometry/guides.h"

namespace korvex {
namespace {

PathElement line(int32_t dx, int32_t dy) {
    PathElement e;
    e.kind = kElementLine;
    e.endX = dx;
    e.endY = dy;
    e.steps = std::max(std::abs(dx), std::abs(dy));
    return e;
}

CodeSegment pair(PathElement upper, PathElement lower) {
    CodeSegment s;
    s.twoContour = 1;
    s.upper = upper;
    s.lower = lower;
    return s;
}

// The sample square's first lines: start, then upper (6, 1) over lower (5, 0), then the sides.
const std::vector<CodeSegment> kSquare = {
    pair(PathElement{.kind = kElementNoMotion}, PathElement{.kind = kElementNoMotion}),
    pair(line(6000, 1000), line(5000, 0)),
    pair(line(8000, 0), line(10000, 0)),
};
const GuideGeometry kSquareTaper{true, 600, 200, 200, 0};  // H 60, T 20, B 20, R 0

GuidePositions at(const std::vector<CodeSegment>& s, size_t index, StepState lower, StepState upper,
                  const GuideGeometry& g, int expect = kGuidesOk) {
    const DisplacementTable table(s.data(), s.size());
    GuidePositions p;
    EXPECT_EQ(guidePositions(table, s.data(), index, lower, upper, g, p), expect);
    return p;
}

TEST(Guides, StartsForwardAndReverseMeetAtTheSameCorner) {
    const DisplacementTable table(kSquare.data(), kSquare.size());
    StepState lower, upper;
    GuidePositions forward, reverse;
    // X = (400 * 5000 - 200 * 6000) / 200, Y = (0 - 200 * 1000) / 200, U = V = 600 * 1000 / 200.
    ASSERT_EQ(segmentStartGuides(table, kSquare.data(), 2, false, kSquareTaper, lower, upper, forward), 0);
    EXPECT_EQ(forward, (GuidePositions{4000, -1000, 3000, 3000, 0}));
    EXPECT_EQ(lower, (StepState{0, 0, 0}));
    ASSERT_EQ(segmentStartGuides(table, kSquare.data(), 1, true, kSquareTaper, lower, upper, reverse), 0);
    EXPECT_EQ(reverse, forward);
    EXPECT_EQ(lower, (StepState{5000, 5000, 0}));
    EXPECT_EQ(upper, (StepState{6000, 6000, 1000}));
    // Within segment 2: lower at (6, 0), upper at (8, 1): X = (400 * 6000 - 200 * 8000) / 200.
    EXPECT_EQ(at(kSquare, 2, {1000, 1000, 0}, {2000, 2000, 0}, kSquareTaper),
              (GuidePositions{4000, -1000, 6000, 3000, 0}));
    // One contour: the contour point itself.
    EXPECT_EQ(at(kSquare, 2, {1000, 1000, 0}, {2000, 2000, 0}, GuideGeometry{}),
              (GuidePositions{6000, 0, 8000, 1000, 0}));
}

TEST(Guides, RollerCorrectionComesOffXWithItsFraction) {
    GuideGeometry g = kSquareTaper;
    g.radiusX10 = 10;  // 1 mm: c = (sqrt((3000 / 60000)^2 + 1) - 1) * 1000 = 1.2492197...
    EXPECT_EQ(at(kSquare, 2, {}, {}, g), (GuidePositions{3999, -1000, 3000, 3000, 249}));
}

TEST(Guides, ProductsPast32BitsAndTruncationTowardZero) {
    const std::vector<CodeSegment> s = {pair(line(2000100, 0), line(2000000, 0)), pair(line(0, 0), line(0, 0))};
    // (1002000 * 2000000 - 1000000 * 2000100) / 2000 and 1000000 * 100 / 2000.
    EXPECT_EQ(at(s, 1, {}, {}, GuideGeometry{true, 1000000, 2000, 1000000, 0}),
              (GuidePositions{1950000, 0, 50000, 0, 0}));
    // (5 * 0 - 3 * 1) / 2 is -1, not -2.
    const std::vector<CodeSegment> t = {pair(line(1, 0), line(0, 0)), pair(line(0, 0), line(0, 0))};
    EXPECT_EQ(at(t, 1, {}, {}, GuideGeometry{true, 2, 2, 3, 0}).x, -1);
}

TEST(Guides, OutOfRangeAndUnusableValuesAreRefused) {
    const std::vector<CodeSegment> s = {pair(line(1000000, 0), line(0, 0)), pair(line(0, 0), line(0, 0))};
    at(s, 1, {}, {}, GuideGeometry{true, 1000000, 1, 0, 0}, kGuidesOutOfRange);  // U = 10^12
    at(s, 1, {}, {}, GuideGeometry{true, 600, 0, 200, 0}, kGuidesBadTaper);
    at(s, 1, {}, {}, GuideGeometry{true, 0, 200, 200, 0}, kGuidesBadTaper);
    at(s, 2, {}, {}, kSquareTaper, kGuidesBadCursor);
    // Sums of 6.4e12 times T + B of 2e6 overflow the 64-bit products.
    std::vector<CodeSegment> far(3000, pair(line(INT32_MAX, 0), line(INT32_MAX, 0)));
    far.push_back(pair(line(0, 0), line(0, 0)));
    at(far, far.size() - 1, {}, {}, GuideGeometry{true, 600, 200, 2000000, 0}, kGuidesOutOfRange);
}

// With R = 0 the lower guide and its offset put the wire through both contour points, within
// the two truncations.
TEST(Guides, PropertyTheWirePassesThroughBothContours) {
    std::mt19937 rng(15);
    std::uniform_int_distribution<int32_t> step(-50000, 50000), len(1, 3000);
    std::vector<CodeSegment> s;
    for (int i = 0; i < 200; ++i) s.push_back(pair(line(step(rng), step(rng)), line(step(rng), step(rng))));
    s.push_back(pair(line(0, 0), line(0, 0)));
    const DisplacementTable table(s.data(), s.size());
    for (int round = 0; round < 2000; ++round) {
        const int32_t t = len(rng), h = t + len(rng) + len(rng);
        const int32_t b = std::uniform_int_distribution<int32_t>(1, h - t)(rng);
        const GuideGeometry g{true, h, t, b, 0};
        const size_t i = std::uniform_int_distribution<size_t>(0, s.size() - 1)(rng);
        GuidePositions p;
        ASSERT_EQ(guidePositions(table, s.data(), i, {}, {}, g, p), kGuidesOk);
        const auto& sum = table.before(i);
        EXPECT_NEAR(p.x + double(p.u) * b / h, double(sum.lx), 2.0);
        EXPECT_NEAR(p.y + double(p.v) * b / h, double(sum.ly), 2.0);
        EXPECT_NEAR(p.x + double(p.u) * (b + t) / h, double(sum.ux), 2.0);
        EXPECT_NEAR(p.y + double(p.v) * (b + t) / h, double(sum.uy), 2.0);
    }
}

}  // namespace
}  // namespace korvex
