// Contours entered at a corner: the start corner is compensated like every other one and the
// leads run straight to and from it. Expected points are worked out here from the drawn
// polygon alone (moved lines crossed, corner arcs placed), not with the compensation's code.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "code/iso.h"
#include "geometry/offset.h"

namespace korvex {
namespace {

using Lines = std::vector<std::string>;

Lines offsetOf(const Lines& in, double offset, CornerType corner) {
    Lines out;
    std::string error;
    EXPECT_EQ(offsetProgram(in, 1, 0, offset, corner, out, error), 0) << error;
    return out;
}

// A 40 mm square cut counter-clockwise from its corner (5, -20), entered from (0, 0).
const Lines kSquareFromCorner = {
    "N0 G92 X0.000 Y0.000;",   "N1 G01 X5.000 Y-20.000;", "N2 G01 X40.000 Y0.000;",
    "N3 G01 X0.000 Y40.000;",  "N4 G01 X-40.000 Y0.000;", "N5 G01 X0.000 Y-40.000;",
    "N6 G01 X-5.000 Y20.000;", "N7 M02;",
};

TEST(OffsetCornerStart, SquareSharpReachesTheOffsetCornerEitherSide) {
    // Outside: the lead-in runs to the offset corner (4, -21) instead of crossing the moved
    // bottom side at (5.25, -21).
    const Lines outside = {
        "N0 G92 X0.000 Y0.000;",
        "N1 G01 X4.000 Y-21.000 I0.000 J0.000;",
        "N2 G01 X42.000 Y0.000 I0.000 J0.000;",
        "N3 G01 X0.000 Y42.000 I0.000 J0.000;",
        "N4 G01 X-42.000 Y0.000 I0.000 J0.000;",
        "N5 G01 X0.000 Y-42.000 I0.000 J0.000;",
        "N6 G01 X-4.000 Y21.000 I0.000 J0.000;",
        "N7 M02;",
    };
    EXPECT_EQ(offsetOf(kSquareFromCorner, 1.0, CornerType::Sharp), outside);
    // Inside: the left side stops at (6, -19) instead of running on to (6, -24) into the die.
    const Lines inside = {
        "N0 G92 X0.000 Y0.000;",
        "N1 G01 X6.000 Y-19.000 I0.000 J0.000;",
        "N2 G01 X38.000 Y0.000 I0.000 J0.000;",
        "N3 G01 X0.000 Y38.000 I0.000 J0.000;",
        "N4 G01 X-38.000 Y0.000 I0.000 J0.000;",
        "N5 G01 X0.000 Y-38.000 I0.000 J0.000;",
        "N6 G01 X-6.000 Y19.000 I0.000 J0.000;",
        "N7 M02;",
    };
    EXPECT_EQ(offsetOf(kSquareFromCorner, -1.0, CornerType::Sharp), inside);
}

TEST(OffsetCornerStart, SquareRoundGetsItsStartCornerArcLast) {
    // Outside: the arc round the drawn corner (5, -20) closes the contour at (5, -21).
    const Lines outside = offsetOf(kSquareFromCorner, 1.0, CornerType::Round);
    ASSERT_EQ(outside.size(), 12u);
    EXPECT_EQ(outside[1], "N1 G01 X5.000 Y-21.000 I0.000 J0.000;");
    EXPECT_EQ(outside[2], "N2 G01 X40.000 Y0.000 I0.000 J0.000;");
    EXPECT_EQ(outside[8], "N8 G01 X0.000 Y-40.000 I0.000 J0.000;");
    EXPECT_EQ(outside[9], "N9 G03 X1.000 Y-1.000 I1.000 J0.000;");
    EXPECT_EQ(outside[10], "N10 G01 X-5.000 Y21.000 I0.000 J0.000;");
    // Inside: the fillet centred on (7, -18) closes it at (7, -19).
    const Lines inside = offsetOf(kSquareFromCorner, -1.0, CornerType::Round);
    ASSERT_EQ(inside.size(), 12u);
    EXPECT_EQ(inside[1], "N1 G01 X7.000 Y-19.000 I0.000 J0.000;");
    EXPECT_EQ(inside[2], "N2 G01 X36.000 Y0.000 I0.000 J0.000;");
    EXPECT_EQ(inside[8], "N8 G01 X0.000 Y-36.000 I0.000 J0.000;");
    EXPECT_EQ(inside[9], "N9 G03 X1.000 Y-1.000 I1.000 J0.000;");
    EXPECT_EQ(inside[10], "N10 G01 X-7.000 Y19.000 I0.000 J0.000;");
}

TEST(OffsetCornerStart, ArcLeadsRunStraightToTheCorner) {
    Lines in = kSquareFromCorner;
    // Arc leads on the circle round (4.5, -9.5), there and back.
    in[1] = "N1 G03 X5.000 Y-20.000 I4.500 J-9.500;";
    in[6] = "N6 G02 X-5.000 Y20.000 I-0.500 J10.500;";
    const Lines out = offsetOf(in, 1.0, CornerType::Sharp);
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(out[1], "N1 G01 X4.000 Y-21.000 I0.000 J0.000;");
    EXPECT_EQ(out[6], "N6 G01 X-4.000 Y21.000 I0.000 J0.000;");
}

TEST(OffsetCornerStart, OpenContourAndSmoothJointKeepTheLeadsOnTheirLines) {
    // Three sides of the square: the contour does not close, the lead-in is cut where it
    // meets the moved bottom side.
    const Lines open = {
        "N0 G92 X0.000 Y0.000;",   "N1 G01 X5.000 Y-20.000;", "N2 G01 X40.000 Y0.000;",
        "N3 G01 X0.000 Y40.000;",  "N4 G01 X-40.000 Y0.000;", "N5 G01 X-5.000 Y-20.000;",
        "N6 M02;",
    };
    EXPECT_EQ(offsetOf(open, 1.0, CornerType::Sharp)[1], "N1 G01 X5.250 Y-21.000 I0.000 J0.000;");
    // A slot entered at 45 degrees where its bottom side runs on smoothly from its left arc.
    const Lines slot = {
        "N0 G92 X0.000 Y0.000;",
        "N1 G01 X5.000 Y-5.000;",
        "N2 G01 X10.000 Y0.000;",
        "N3 G03 X0.000 Y10.000 I0.000 J5.000;",
        "N4 G01 X-10.000 Y0.000;",
        "N5 G03 X0.000 Y-10.000 I0.000 J-5.000;",
        "N6 G01 X-5.000 Y5.000;",
        "N7 M02;",
    };
    const Lines out = offsetOf(slot, 1.0, CornerType::Sharp);
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(out[1], "N1 G01 X6.000 Y-6.000 I0.000 J0.000;");
    // The lead-out leaves the moved arc (radius 6 round (5, 0)) where it crosses y = -x.
    EXPECT_EQ(out[6], "N6 G01 X-5.928 Y5.928 I0.000 J0.000;");
}

TEST(OffsetCornerStart, ConnectionAtTheStartCornerClosesTheContour) {
    // Entered at the corner (3, 1) between a line along +x and a clockwise arc of radius 0.3:
    // moved 0.2 to the right they never cross, so an arc round the corner joins them. It is
    // the contour's last element and ends where the lead-in arrives.
    const Lines in = {
        "N0 G92 X0.000 Y0.000;", "N1 G01 X3.000 Y1.000;", "N2 G02 X0.600 Y0.000 I0.300 J0.000;",
        "N3 G01 X0.000 Y-3.000;", "N4 G01 X-4.600 Y0.000;", "N5 G01 X1.000 Y3.000;",
        "N6 G01 X3.000 Y0.000;", "N7 G01 X-3.000 Y-1.000;", "N8 M02;",
    };
    const Lines out = offsetOf(in, 0.2, CornerType::Sharp);
    ASSERT_EQ(out.size(), 10u);
    // The shrunk arc (radius 0.1 round (3.3, 1)) touches the corner circle at (3.2, 1).
    EXPECT_EQ(out[1], "N1 G01 X3.200 Y1.000 I0.000 J0.000;");
    EXPECT_EQ(out[2].substr(0, 7), "N2 G02 ");
    EXPECT_EQ(out[7], "N7 G03 X0.200 Y0.200 I0.000 J0.200;");
    EXPECT_EQ(out[8], "N8 G01 X-3.200 Y-1.000 I0.000 J0.000;");
}

// ---- every corner of a few polygons as the start corner ----

struct P { double x = 0, y = 0; };

P operator+(P a, P b) { return {a.x + b.x, a.y + b.y}; }
P operator-(P a, P b) { return {a.x - b.x, a.y - b.y}; }
P operator*(double k, P a) { return {k * a.x, k * a.y}; }
double cross(P a, P b) { return a.x * b.y - a.y * b.x; }

P unit(P a) { return (1 / std::hypot(a.x, a.y)) * a; }
P rightNormal(P a, P b) {
    const P d = unit(b - a);
    return {d.y, -d.x};
}

// Where the line through a1, a2 moved by c to the right crosses the line through b1, b2
// moved likewise.
P crossMoved(P a1, P a2, P b1, P b2, double c) {
    const P na = c * rightNormal(a1, a2), nb = c * rightNormal(b1, b2);
    const P p = a1 + na, r = a2 - a1, q = b1 + nb, s = b2 - b1;
    return p + (cross(q - p, s) / cross(r, s)) * r;
}

struct Polygon {
    const char* name;
    std::vector<P> corners;  // counter-clockwise, mm
    P inside;                // a point well inside
};

const Polygon kPolygons[] = {
    {"triangle", {{0, 0}, {30, 0}, {8, 20}}, {12, 6}},
    {"rectangle", {{0, 0}, {25, 0}, {25, 12}, {0, 12}}, {12, 6}},
    {"L shape", {{0, 0}, {30, 0}, {30, 10}, {12, 10}, {12, 25}, {0, 25}}, {6, 5}},
    {"pentagon", {{0, 0}, {20, -3}, {28, 12}, {14, 24}, {-4, 15}}, {11, 10}},
};

struct Expected {
    std::vector<P> ends;          // where each statement ends, lead-in to lead-out
    std::vector<IsoCode> codes;   // its code
};

// The program expected for the polygon cut from corner k, either way round, offset c, with
// the start point `start`. Sharp: the moved sides' crossings. Round: per corner the moved
// incoming side ends on the corner arc, which ends on the moved outgoing side.
Expected expectedPath(const std::vector<P>& v, size_t k, double c, CornerType corner, P start) {
    const size_t m = v.size();
    auto at = [&](size_t i) { return v[(k + i) % m]; };
    Expected e;
    auto cornerPoints = [&](size_t i, P& in, P& out, bool& left) {
        const P prev = at(i + m - 1), here = at(i), next = at(i + 1);
        left = cross(here - prev, next - here) > 0;
        const bool inner = (left ? 1 : -1) * c < 0;
        if (corner == CornerType::Sharp) {
            in = out = crossMoved(prev, here, here, next, c);
            return;
        }
        // Outside the arc runs round the drawn corner; inside it is centred 2c from both
        // sides, and touches the moved sides at its feet on them.
        const P centre = inner ? crossMoved(prev, here, here, next, 2 * c) : here;
        const double toSide = inner ? -c : c;
        in = centre + toSide * rightNormal(prev, here);
        out = centre + toSide * rightNormal(here, next);
    };
    P in0, out0;
    bool left0 = false;
    cornerPoints(0, in0, out0, left0);
    e.ends.push_back(out0 - start);
    e.codes.push_back(IsoCode::kG01);
    for (size_t i = 1; i <= m; ++i) {
        P in, out;
        bool left = false;
        cornerPoints(i % m, in, out, left);
        e.ends.push_back(in - start);
        e.codes.push_back(IsoCode::kG01);
        if (corner == CornerType::Round) {
            e.ends.push_back(out - start);
            e.codes.push_back(left ? IsoCode::kG03 : IsoCode::kG02);
        }
    }
    e.ends.push_back({0, 0});
    e.codes.push_back(IsoCode::kG01);
    return e;
}

Lines programOf(const std::vector<P>& v, size_t k, P start) {
    Lines lines = {"N0 G92 X0.000 Y0.000;"};
    char text[96];
    P at = start;
    const size_t m = v.size();
    for (size_t i = 0; i <= m + 1; ++i) {
        const P to = i == m + 1 ? start : v[(k + i) % m];
        std::snprintf(text, sizeof text, "N%zu G01 X%.3f Y%.3f;", i + 1, to.x - at.x, to.y - at.y);
        lines.push_back(text);
        at = to;
    }
    std::snprintf(text, sizeof text, "N%zu M02;", m + 3);
    lines.push_back(text);
    return lines;
}

TEST(OffsetCornerStart, EveryCornerOfPolygonsCanBeTheStart) {
    int programs = 0;
    for (const Polygon& polygon : kPolygons) {
        for (bool clockwise : {false, true}) {
            std::vector<P> v = polygon.corners;
            if (clockwise) v.assign(polygon.corners.rbegin(), polygon.corners.rend());
            for (size_t k = 0; k < v.size(); ++k) {
                for (double c : {0.5, -0.5}) {
                    // Start on the side the offset moves to: inside, or 5 mm out along the
                    // corner's bisector.
                    const bool outside = clockwise ? c < 0 : c > 0;
                    P start = polygon.inside;
                    if (outside) {
                        const P prev = v[(k + v.size() - 1) % v.size()], next = v[(k + 1) % v.size()];
                        const double away = clockwise ? -1 : 1;  // right of travel is outside ccw
                        const P bisector = unit(rightNormal(prev, v[k]) + rightNormal(v[k], next));
                        start = v[k] + (5 * away) * bisector;
                        start = {std::round(start.x * 1000) / 1000, std::round(start.y * 1000) / 1000};
                    }
                    for (CornerType corner : {CornerType::Sharp, CornerType::Round}) {
                        SCOPED_TRACE(testing::Message() << polygon.name << (clockwise ? " cw" : " ccw")
                                                        << " corner " << k << " offset " << c << " round "
                                                        << (corner == CornerType::Round));
                        const Lines out = offsetOf(programOf(v, k, start), c, corner);
                        const Expected e = expectedPath(v, k, c, corner, start);
                        ASSERT_EQ(out.size(), e.ends.size() + 2);
                        int64_t x = 0, y = 0;
                        for (size_t i = 0; i < e.ends.size(); ++i) {
                            IsoStatement s;
                            ASSERT_EQ(parseIsoStatement(out[i + 1].c_str(), s), 0) << out[i + 1];
                            x += s.x;
                            y += s.y;
                            EXPECT_EQ(s.code, e.codes[i]) << out[i + 1];
                            EXPECT_NEAR(static_cast<double>(x), e.ends[i].x * 1000, 1.0) << out[i + 1];
                            EXPECT_NEAR(static_cast<double>(y), e.ends[i].y * 1000, 1.0) << out[i + 1];
                        }
                        ++programs;
                    }
                }
            }
        }
    }
    EXPECT_EQ(programs, 2 * 2 * 2 * (3 + 4 + 6 + 5));
}

}  // namespace
}  // namespace korvex
