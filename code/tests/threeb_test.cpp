#include "code/threeb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "code/iso.h"
#include "code/kind.h"
#include "code/parse.h"

namespace korvex {
namespace {

PathElement element(const char* text) {
    ThreeBStatement s;
    EXPECT_EQ(parse3BStatement(text, s), 0) << text;
    return threeBToElement(s);
}

TEST(ThreeBGrammar, AcceptsFreeBlanksAndRejectsMalformedStatements) {
    const char* good[] = {"B1000B2000B3000GXL1", "N 12: B  -5 B +7 B 9 GY  NR4 ; trailing",
                          "B B B2000 GX L2", "xB1B2B3 GY SR3"};
    for (const char* t : good) {
        ThreeBStatement s;
        EXPECT_EQ(parse3BStatement(t, s), 0) << t;
    }
    const char* bad[] = {"B1 B2 GX L1", "B1 B2 B3 L1", "B1 B2 B3 GZ L1", "B1 B2 B3 GX",
                         "B1 B2 B3 GX L5", "B1 B2 B3 GX SR0", "B1 B2 B3 GX SX1", "B1 B2 B3 GX NR",
                         "", "B1 B2 B3 gx l1"};
    for (const char* t : bad) {
        ThreeBStatement s;
        EXPECT_EQ(parse3BStatement(t, s), -1) << t;
    }
    ThreeBStatement s;
    ASSERT_EQ(parse3BStatement("N 12: B  -5 B +7 B 9 GY  NR4", s), 0);
    EXPECT_EQ(s.x, -5);
    EXPECT_EQ(s.y, 7);
    EXPECT_EQ(s.j, 9);
    EXPECT_TRUE(s.countAlongY);
    EXPECT_EQ(s.family, ThreeBFamily::kCounterClockwise);
    EXPECT_EQ(s.quadrant, 4);
    // Numbers beyond 32 bits are clamped.
    ASSERT_EQ(parse3BStatement("B99999999999 B-99999999999 B0 GX L1", s), 0);
    EXPECT_EQ(s.x, INT32_MAX);
    EXPECT_EQ(s.y, INT32_MIN);
}

TEST(ThreeBElements, PausesAndLines) {
    EXPECT_EQ(element("B0B0B0GXL1").kind, kElementPause);
    EXPECT_EQ(element("B 0 B 0 B 0 GY SR2").kind, kElementPause);
    struct Case { const char* text; int32_t x, y; };
    const Case cases[] = {
        {"B B B2000 GX L2", -2000, 0},          // length on the count axis
        {"B0 B0 B2000 GY L3", 0, -2000},
        {"B1000 B2000 B5000 GX L1", 1000, 2000},  // J ignored when x or y is set
        {"B1000 B2000 B0 GY L2", -1000, 2000},
        {"B1000 B2000 B0 GY L3", -1000, -2000},
        {"B1000 B2000 B0 GY L4", 1000, -2000},
        {"B-2147483648 B0 B0 GX L2", INT32_MAX, 0},  // negating the lowest value is clamped
    };
    for (const Case& c : cases) {
        const PathElement e = element(c.text);
        EXPECT_EQ(e.kind, kElementLine) << c.text;
        EXPECT_EQ(e.endX, c.x) << c.text;
        EXPECT_EQ(e.endY, c.y) << c.text;
    }
}

TEST(ArcEndPoint, ClockwiseFromTheFirstQuadrantCountingAlongX) {
    // Start (3000, 4000), R = 5000: x first grows to R (2000 of travel), then falls to 0 (7000),
    // to -R (12000), grows to 0 (17000) and back to the start (20000 = 4R).
    struct Case { int32_t j, x, y; };
    const Case cases[] = {
        {0, 3000, 4000},    {1000, 4000, 3000},  {2000, 5000, 0},      {3000, 4000, -3000},
        {7000, 0, -5000},   {8000, -1000, -4899}, {12000, -5000, 0},   {13000, -4000, 3000},
        {17000, 0, 5000},   {19000, 2000, 4583},  {20000, 3000, 4000}, {20001, 3000, 4000},
        {99999999, 3000, 4000},
    };
    for (const Case& c : cases) {
        const std::string text = "B3000 B4000 B" + std::to_string(c.j) + " GX SR1";
        const PathElement e = element(text.c_str());
        EXPECT_EQ(e.kind, kElementArcCw);
        EXPECT_EQ(e.radius, 5000);
        EXPECT_EQ(e.radiusSquared, 25000000);
        EXPECT_EQ(e.endX, c.x) << text;
        EXPECT_EQ(e.endY, c.y) << text;
    }
}

// Where travelling `travel` along the count axis ends, found by walking the true circle in tiny
// angle steps: an independent reference for every direction, quadrant and count axis.
void referenceEnd(double sx, double sy, bool clockwise, bool countAlongY, double travel,
                  double& ex, double& ey) {
    const double r = std::hypot(sx, sy);
    double angle = std::atan2(sy, sx);
    const double step = (clockwise ? -1.0 : 1.0) * 1e-5;
    double c = countAlongY ? sy : sx;
    double done = 0;
    while (done < travel) {
        angle += step;
        const double next = countAlongY ? r * std::sin(angle) : r * std::cos(angle);
        done += std::fabs(next - c);
        c = next;
    }
    ex = r * std::cos(angle);
    ey = r * std::sin(angle);
}

TEST(ArcEndPoint, AgreesWithTheCircleInAllSixteenCombinations) {
    const char* codes[] = {"SR1", "SR2", "SR3", "SR4", "NR1", "NR2", "NR3", "NR4"};
    const int travels[] = {500, 2600, 6100, 11000, 15000, 19500};
    for (const char* code : codes) {
        for (const char* axis : {"GX", "GY"}) {
            for (const int j : travels) {
                const std::string text = std::string("B3000 B4000 B") + std::to_string(j) + " " + axis + " " + code;
                ThreeBStatement s;
                ASSERT_EQ(parse3BStatement(text.c_str(), s), 0);
                const PathElement e = threeBToElement(s);
                double ex, ey;
                referenceEnd(e.startX, e.startY, e.kind == kElementArcCw, s.countAlongY, j, ex, ey);
                EXPECT_NEAR(e.endX, ex, 2.0) << text;
                EXPECT_NEAR(e.endY, ey, 2.0) << text;
            }
        }
    }
}

TEST(ArcEndPoint, EndsOnTheStartAtAndBeyondAFullCircle) {
    for (const char* text : {"B3000 B4000 B0 GX SR1", "B3000 B4000 B20000 GY NR3",
                             "B3000 B4000 B20001 GX NR2", "B 0 B 7 B 29 GX SR4"}) {
        const PathElement e = element(text);
        EXPECT_EQ(e.endX, e.startX) << text;
        EXPECT_EQ(e.endY, e.startY) << text;
    }
    // A rounded radius above the true one leaves nothing under the root: the other
    // coordinate is 0, never a NaN.
    const PathElement small = element("B2 B2 B1 GX SR1");  // R = 3 above sqrt(8)
    EXPECT_EQ(small.radius, 3);
    EXPECT_EQ(small.endX, 3);
    EXPECT_EQ(small.endY, 0);
}

TEST(Translate3B, WritesNumberedIsoLines) {
    ProgramLines lines;
    ASSERT_EQ(lines.allocate(16), 0);
    for (const char* t : {"B 3000 B 4000 B 0 GX L1", "B 3000 B 4000 B 2000 GX SR1", "B 0 B 0 B 0 GX L1",
                          "N 4: T17 E1F2L3Q4 ; group", "HALT", "B 1 B 0 B 1 GX L3", "d", "DD"}) {
        ASSERT_EQ(lines.append(t), 0);
    }
    ASSERT_EQ(normaliseProgram(lines, kKind3B), 0);
    ASSERT_EQ(translate3BToIso(lines), 0);
    const char* expected[] = {
        "N0 G92 X0.000 Y0.000;",
        "N1 G01 X3.000 Y4.000;",
        "N2 G02 X2.000 Y-4.000 I-3.000 J-4.000;",
        "N3 M00;",
        "N4 T17 E1F2L3Q4 ; group",
        "N5 M00;",
        "N6 G01 X-0.001 Y0.000;",
        "N7 M00;",
        "N8 M02;",
    };
    ASSERT_EQ(lines.count, 9);
    for (int i = 0; i < 9; ++i) EXPECT_STREQ(lines.line(i), expected[i]) << i;
}

TEST(Translate3B, FailsOnAnUnreadableStatementAndNeverGrowsALine) {
    ProgramLines lines;
    ASSERT_EQ(lines.allocate(4), 0);
    lines.append("B1 B2 GX L1");
    EXPECT_EQ(translate3BToIso(lines), -1);

    lines.count = 0;
    lines.append(std::string(290, ' ') + "T17 E1F2");
    ASSERT_EQ(translate3BToIso(lines), 0);
    EXPECT_EQ(std::string(lines.line(0)), "N0 T17 E1F2");
    lines.count = 0;
    lines.append("T17" + std::string(296, 'Q'));
    ASSERT_EQ(translate3BToIso(lines), 0);
    EXPECT_EQ(std::string(lines.line(0)).size(), 299u);
}

// Every 3B statement, translated to ISO text, parses back to the element the 3B statement
// itself gives.
TEST(Translate3B, IsoTextParsesToTheSameElementsAsTheStatements) {
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> coord(0, 200000), travel(0, 900000), pick(0, 11);
    const char* codes[] = {"L1", "L2", "L3", "L4", "SR1", "SR2", "SR3", "SR4", "NR1", "NR2", "NR3", "NR4"};
    ProgramLines lines;
    ASSERT_EQ(lines.allocate(2), 0);
    for (int n = 0; n < 5000; ++n) {
        const std::string text = "B" + std::to_string(coord(rng)) + " B" + std::to_string(coord(rng) / (n % 3 + 1)) +
                                 " B" + std::to_string(travel(rng)) + (n % 2 ? " GY " : " GX ") + codes[pick(rng)];
        ThreeBStatement s;
        ASSERT_EQ(parse3BStatement(text.c_str(), s), 0);
        PathElement expected = threeBToElement(s);
        lines.count = 0;
        lines.append(text);
        ASSERT_EQ(translate3BToIso(lines), 0);
        CodeSegment seg;
        ASSERT_EQ(parseLine(lines.line(0), kKindIso, seg, false), 0) << lines.line(0);
        EXPECT_EQ(seg.lower, expected) << text << " -> " << lines.line(0);
    }
}

}  // namespace
}  // namespace korvex
