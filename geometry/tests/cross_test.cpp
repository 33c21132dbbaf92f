#include "geometry/cross.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geometry/trace.h"

namespace korvex {
namespace {

constexpr GeoLine kHorizontal(double y) { return {1, 0, y}; }
constexpr GeoLine kVertical(double x) { return {0, 1, -x}; }

TEST(LineLineCross, ToleranceDecidesCoincidentOrParallel) {
    GeoPoint p;
    EXPECT_EQ(crossLineLine(kHorizontal(1), 0, kHorizontal(1.001), 0, p), kCrossInfinite);
    EXPECT_EQ(crossLineLine(kHorizontal(1), 0, kHorizontal(1.0011), 0, p), kCrossNone);
    EXPECT_EQ(crossLineLine(kVertical(2), 0, kVertical(2.001), 0, p), kCrossInfinite);
    EXPECT_EQ(crossLineLine(kVertical(2), 0, kVertical(2.0011), 0, p), kCrossNone);
    // Offsets are applied before the comparison: y = 1 moved up 0.5 meets y = 1.5.
    EXPECT_EQ(crossLineLine(kHorizontal(1), 0.5, kHorizontal(1.5), 0, p), kCrossInfinite);
}

TEST(LineLineCross, PointOfSlopedVerticalAndHorizontal) {
    GeoPoint p;
    ASSERT_EQ(crossLineLine({1, 1, 0}, 0, kVertical(3), 0, p), kCrossOne);  // y = x and x = 3
    EXPECT_DOUBLE_EQ(p.x, 3);
    EXPECT_DOUBLE_EQ(p.y, 3);
    ASSERT_EQ(crossLineLine({1, 2, 1}, 0, {1, -1, 4}, 0, p), kCrossOne);  // y = 2x+1, y = -x+4
    EXPECT_DOUBLE_EQ(p.x, 1);
    EXPECT_DOUBLE_EQ(p.y, 3);
    // Unnormalised lines are divided through: 2y = 2x is y = x.
    ASSERT_EQ(crossLineLine({2, 2, 0}, 0, kHorizontal(5), 0, p), kCrossOne);
    EXPECT_DOUBLE_EQ(p.x, 5);
    EXPECT_EQ(crossLineLine({0, 0, 1}, 0, kHorizontal(5), 0, p), kCrossError);
    EXPECT_EQ(crossLineLine(kHorizontal(5), 0, {0, 0, 1}, 0, p), kCrossError);
}

TEST(LineOffset, MovesEachKindOfLinePerpendicularly) {
    EXPECT_DOUBLE_EQ(-offsetLine(kVertical(1), 0.5).c, 1.5);   // x = 1 -> x = 1.5
    EXPECT_DOUBLE_EQ(offsetLine(kHorizontal(1), 0.5).c, 1.5);  // y = 1 -> y = 1.5
    EXPECT_DOUBLE_EQ(offsetLine({1, 1, 0}, 1).c, -std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(offsetLine({1, 1, 0}, -1).c, std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(offsetLine({1, -1, 0}, 1).c, std::sqrt(2.0));
}

TEST(LineCircleCross, TangentWithinToleranceEitherSide) {
    const GeoCircle unit{0, 0, 1};
    GeoPoint p1, p2;
    for (double y : {1.001, 0.999, -1.001}) {
        SCOPED_TRACE(y);
        ASSERT_EQ(crossLineCircle(kHorizontal(y), 0, unit, 0, nullptr, p1, p2), kCrossOne);
        EXPECT_NEAR(p1.x, 0, 1e-12);
        EXPECT_DOUBLE_EQ(p1.y, y);
    }
    EXPECT_EQ(crossLineCircle(kHorizontal(1.0011), 0, unit, 0, nullptr, p1, p2), kCrossNone);
    ASSERT_EQ(crossLineCircle(kVertical(0.999), 0, unit, 0, nullptr, p1, p2), kCrossOne);
    EXPECT_DOUBLE_EQ(p1.x, 0.999);
    EXPECT_NEAR(p1.y, 0, 1e-12);
}

TEST(LineCircleCross, TwoPointsOrderedAndChosenByReference) {
    const GeoCircle c{1, 1, 2};
    GeoPoint p1, p2;
    ASSERT_EQ(crossLineCircle(kHorizontal(1), 0, c, 0, nullptr, p1, p2), kCrossTwo);
    EXPECT_DOUBLE_EQ(p1.x, 3);  // the positive root first
    EXPECT_DOUBLE_EQ(p2.x, -1);
    ASSERT_EQ(crossLineCircle(kVertical(1), 0, c, 0, nullptr, p1, p2), kCrossTwo);
    EXPECT_DOUBLE_EQ(p1.y, 3);
    const GeoPoint nearLeft{-2, 1};
    ASSERT_EQ(crossLineCircle(kHorizontal(1), 0, c, 0, &nearLeft, p1, p2), kCrossOne);
    EXPECT_DOUBLE_EQ(p1.x, -1);
    // Radius 2 with offset -3 becomes radius 1 turned inside out: the farther point is taken.
    ASSERT_EQ(crossLineCircle(kHorizontal(1), 0, c, -3, &nearLeft, p1, p2), kCrossOne);
    EXPECT_DOUBLE_EQ(p1.x, 2);
    EXPECT_EQ(crossLineCircle(kHorizontal(1), 0, {0, 0, 0}, 1, nullptr, p1, p2), kCrossError);
}

TEST(CircleCircleCross, ConcentricTangentApartAndInside) {
    GeoPoint p1, p2;
    EXPECT_EQ(crossCircleCircle({0, 0, 2}, 0, {0.001, 0, 2}, 0, nullptr, p1, p2), kCrossInfinite);
    EXPECT_EQ(crossCircleCircle({0, 0, 2}, 0, {0, 0, 3}, 0, nullptr, p1, p2), kCrossNone);
    EXPECT_EQ(crossCircleCircle({0, 0, 1}, 0, {5, 0, 1}, 0, nullptr, p1, p2), kCrossNone);
    EXPECT_EQ(crossCircleCircle({0, 0, 5}, 0, {1, 0, 1}, 0, nullptr, p1, p2), kCrossNone);
    ASSERT_EQ(crossCircleCircle({0, 0, 1}, 0, {3, 4, 4}, 0, nullptr, p1, p2), kCrossOne);
    EXPECT_NEAR(p1.x, 0.6, 1e-12);
    EXPECT_NEAR(p1.y, 0.8, 1e-12);
    ASSERT_EQ(crossCircleCircle({0, 0, 5}, 0, {0, 3, 2}, 0, nullptr, p1, p2), kCrossOne);
    EXPECT_NEAR(p1.y, 5, 1e-12);
    ASSERT_EQ(crossCircleCircle({0, 0, 1}, 0, {0, 3, 4}, 0, nullptr, p1, p2), kCrossOne);
    EXPECT_NEAR(p1.y, -1, 1e-12);
}

TEST(CircleCircleCross, PointsOrderAndChoice) {
    GeoPoint p1, p2;
    // Level centres: the crossings lie one above the other, the upper first.
    ASSERT_EQ(crossCircleCircle({0, 0, 5}, 0, {6, 0, 5}, 0, nullptr, p1, p2), kCrossTwo);
    EXPECT_NEAR(p1.x, 3, 1e-12);
    EXPECT_NEAR(p1.y, 4, 1e-12);
    EXPECT_NEAR(p2.y, -4, 1e-12);
    // Far from the origin the points are as exact as near it.
    ASSERT_EQ(crossCircleCircle({1000, 500, 5}, 0, {1000, 506, 5}, 0, nullptr, p1, p2), kCrossTwo);
    EXPECT_NEAR(p1.x, 1004, 1e-9);
    EXPECT_NEAR(p1.y, 503, 1e-9);
    const GeoPoint below{3, -5};
    ASSERT_EQ(crossCircleCircle({0, 0, 5}, 0, {6, 0, 5}, 0, &below, p1, p2), kCrossOne);
    EXPECT_NEAR(p1.y, -4, 1e-12);
    // One circle turned inside out by its offset: the farther point.
    ASSERT_EQ(crossCircleCircle({0, 0, 2}, -7, {6, 0, 5}, 0, &below, p1, p2), kCrossOne);
    EXPECT_NEAR(p1.y, 4, 1e-12);
    EXPECT_EQ(crossCircleCircle({0, 0, -1}, 0, {6, 0, 5}, 0, nullptr, p1, p2), kCrossError);
}

std::vector<std::string> gTrace;
void collect(const char* text) { gTrace.emplace_back(text); }

TEST(CrossTrace, HeaderFailureAndResultGoToTheHook) {
    gTrace.clear();
    setGeometryTraceHook(collect);
    GeoPoint p1, p2;
    crossCircleCircle({0, 0, 1}, 0, {5, 0, 1}, 0, nullptr, p1, p2);
    setGeometryTraceHook(nullptr);
    crossCircleCircle({0, 0, 1}, 0, {5, 0, 1}, 0, nullptr, p1, p2);  // discarded
    ASSERT_EQ(gTrace.size(), 3u);
    EXPECT_EQ(gTrace[0], "CIRCULAR CIRCULAR CROSS:\n");
    EXPECT_EQ(gTrace[1], "NO_CROSS 相离,R1=1.000000,R2=1.000000,dd=5.000000\n");
    EXPECT_EQ(gTrace[2], "Cross No\n");
}

}  // namespace
}  // namespace korvex
