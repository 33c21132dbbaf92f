// Generated closed contours of lines and arcs, convex and concave, cut either way round, entered
// at a corner or in the middle of a side, offset either side, with sharp and round corners. The result is read back as text and measured
// against the drawn contour alone: nothing of the compensation's own arithmetic is reused.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "code/iso.h"
#include "geometry/offset.h"

namespace korvex {
namespace {

// 1 µm, plus the rounding of a point to whole microns in both axes.
constexpr double kTolerance = 0.001 + 0.00075;
constexpr double kPi = 3.14159265358979323846;

struct Pt { double x = 0, y = 0; };

// A drawn element in millimetres (from whole microns, as the program states it).
struct Drawn {
    bool arc = false;
    bool ccw = false;
    Pt start, end, centre;
};

struct Written {
    IsoCode code = IsoCode::kNone;
    Pt start, end, centre;
};

double dist(Pt a, Pt b) { return std::hypot(a.x - b.x, a.y - b.y); }
Pt mm(int64_t x, int64_t y) { return {x / 1000.0, y / 1000.0}; }

// Distance of p to the right of the drawn line's direction of travel.
double rightOf(const Drawn& d, Pt p) {
    const double dx = d.end.x - d.start.x, dy = d.end.y - d.start.y;
    return ((p.x - d.start.x) * dy - (p.y - d.start.y) * dx) / std::hypot(dx, dy);
}

// Is w the drawn element d moved `c` to the right of travel?
bool onMoved(const Written& w, const Drawn& d, double c) {
    if (d.arc) {
        if (w.code != (d.ccw ? IsoCode::kG03 : IsoCode::kG02)) return false;
        const double r = dist(d.start, d.centre) + (d.ccw ? c : -c);
        return std::fabs(dist(w.start, d.centre) - r) < kTolerance &&
               std::fabs(dist(w.end, d.centre) - r) < kTolerance && dist(w.centre, d.centre) < kTolerance;
    }
    return w.code == IsoCode::kG01 && std::fabs(rightOf(d, w.start) - c) < kTolerance &&
           std::fabs(rightOf(d, w.end) - c) < kTolerance;
}

double sweep(const Written& w) {
    double a = std::atan2(w.end.y - w.centre.y, w.end.x - w.centre.x) -
               std::atan2(w.start.y - w.centre.y, w.start.x - w.centre.x);
    if (w.code == IsoCode::kG02) a = -a;
    while (a < 0) a += 2 * kPi;
    return a;
}

// Distance from p to the drawn element (the segment, or the arc between its ends).
double distanceTo(const Drawn& d, Pt p) {
    if (!d.arc) {
        const double dx = d.end.x - d.start.x, dy = d.end.y - d.start.y;
        double t = ((p.x - d.start.x) * dx + (p.y - d.start.y) * dy) / (dx * dx + dy * dy);
        t = std::fmax(0.0, std::fmin(1.0, t));
        return dist(p, {d.start.x + t * dx, d.start.y + t * dy});
    }
    // Within the arc's sweep (short of a half turn here) the nearest point is on the circle,
    // outside it an end.
    const double sx = d.start.x - d.centre.x, sy = d.start.y - d.centre.y;
    const double ex = d.end.x - d.centre.x, ey = d.end.y - d.centre.y;
    const double px = p.x - d.centre.x, py = p.y - d.centre.y;
    const double turn = d.ccw ? 1 : -1;
    if (turn * (sx * py - sy * px) >= 0 && turn * (px * ey - py * ex) >= 0)
        return std::fabs(std::hypot(px, py) - std::hypot(sx, sy));
    return std::fmin(dist(p, d.start), dist(p, d.end));
}

enum class Entry { Corner, MidSide };

struct Contour {
    std::vector<std::string> lines;
    std::vector<Drawn> drawn;  // lead-in, contour, lead-out
    Entry entry = Entry::Corner;
};

using Micron = std::pair<int64_t, int64_t>;

// Unit normal of the travel from a to b pointing out of a polygon that turns left (ccw) or right.
Pt outwardNormal(Micron a, Micron b, bool clockwise) {
    const double dx = static_cast<double>(b.first - a.first), dy = static_cast<double>(b.second - a.second);
    const double len = std::hypot(dx, dy);
    return clockwise ? Pt{-dy / len, dx / len} : Pt{dy / len, -dx / len};
}

// A star of n vertices round the origin, some sides arcs, entered at a random vertex or in the
// middle of the side after it. The start point lies on the side the offset moves to: the
// star's centre for an offset inside, 4 mm out from the entry point for one outside.
Contour generate(std::mt19937& rng, bool concave, bool clockwise, Entry entry, bool startOutside) {
    std::uniform_int_distribution<int> count(4, 10);
    std::uniform_real_distribution<double> unit(0, 1);
    const int n = count(rng);
    std::vector<Micron> v;
    for (int k = 0; k < n; ++k) {
        const double angle = (clockwise ? -1 : 1) * 2 * kPi * (k + 0.3 * unit(rng)) / n;
        const double radius = concave && k % 2 ? 6 + unit(rng) : 11 + unit(rng);
        v.emplace_back(std::llround(radius * std::cos(angle) * 1000), std::llround(radius * std::sin(angle) * 1000));
    }
    std::rotate(v.begin(), v.begin() + std::uniform_int_distribution<int>(0, n - 1)(rng), v.end());

    // The corners in order of cutting, from the entry point back to it.
    std::vector<Micron> path;
    if (entry == Entry::Corner) {
        path = v;
        path.push_back(v[0]);
    } else {
        const Micron mid{(v[0].first + v[1].first) / 2, (v[0].second + v[1].second) / 2};
        path.push_back(mid);
        path.insert(path.end(), v.begin() + 1, v.end());
        path.push_back(v[0]);
        path.push_back(mid);
    }
    Micron s{0, 0};
    if (startOutside) {
        const Micron& at = path.front();
        Pt out = outwardNormal(v[0], v[1], clockwise);
        if (entry == Entry::Corner) {  // along the corner's bisector
            const Pt before = outwardNormal(v[static_cast<size_t>(n - 1)], v[0], clockwise);
            const double len = std::hypot(before.x + out.x, before.y + out.y);
            out = {(before.x + out.x) / len, (before.y + out.y) / len};
        }
        s = {at.first + std::llround(4000 * out.x), at.second + std::llround(4000 * out.y)};
    }
    // The program starts at the start point.
    for (Micron& p : path) p = {p.first - s.first, p.second - s.second};

    Contour c;
    c.entry = entry;
    char text[128];
    int number = 0;
    c.lines.push_back("N0 G92 X0.000 Y0.000;");
    auto line = [&](Micron a, Micron b) {
        std::snprintf(text, sizeof text, "N%d G01 X%.3f Y%.3f;", ++number, (b.first - a.first) / 1000.0,
                      (b.second - a.second) / 1000.0);
        c.lines.push_back(text);
        c.drawn.push_back({false, false, mm(a.first, a.second), mm(b.first, b.second), {}});
    };
    line({0, 0}, path.front());
    const size_t sides = path.size() - 1;
    for (size_t k = 0; k < sides; ++k) {
        const auto [x0, y0] = path[k];
        const auto [x1, y1] = path[k + 1];
        // The sides at the entry point stay straight, so the lead-in meets a line.
        if (k == 0 || k == sides - 1 || unit(rng) > 0.6) {
            line(path[k], path[k + 1]);
            continue;
        }
        // Centre on the side's bisector, 0.6 to 2 lengths from it, either side: sweeps of 28 to 80 degrees.
        const double dx = static_cast<double>(x1 - x0), dy = static_cast<double>(y1 - y0);
        const double len = std::hypot(dx, dy);
        const double t = (0.6 + 1.4 * unit(rng)) * (unit(rng) < 0.5 ? -1 : 1);
        const int64_t cx = std::llround((x0 + x1) / 2.0 - dy / len * t * len);
        const int64_t cy = std::llround((y0 + y1) / 2.0 + dx / len * t * len);
        const bool ccw = t > 0;  // centre on the left: the short way round turns left
        std::snprintf(text, sizeof text, "N%d %s X%.3f Y%.3f I%.3f J%.3f;", ++number, ccw ? "G03" : "G02",
                      (x1 - x0) / 1000.0, (y1 - y0) / 1000.0, (cx - x0) / 1000.0, (cy - y0) / 1000.0);
        c.lines.push_back(text);
        c.drawn.push_back({true, ccw, mm(x0, y0), mm(x1, y1), mm(cx, cy)});
    }
    line(path.front(), {0, 0});
    std::snprintf(text, sizeof text, "N%d M02;", ++number);
    c.lines.push_back(text);
    return c;
}

struct Seen { int connections = 0, outerRounds = 0, innerRounds = 0, startCornerArcs = 0; };

// Points along a written element, at most 0.1 mm apart, both ends included.
std::vector<Pt> pointsAlong(const Written& w) {
    std::vector<Pt> points;
    const bool isArc = w.code == IsoCode::kG02 || w.code == IsoCode::kG03;
    const double r0 = dist(w.start, w.centre), r1 = dist(w.end, w.centre);
    const double swept = isArc ? sweep(w) : 0.0;
    const double length = isArc ? swept * r0 : dist(w.start, w.end);
    const int count = 1 + static_cast<int>(length / 0.1);
    const double a0 = std::atan2(w.start.y - w.centre.y, w.start.x - w.centre.x);
    for (int i = 0; i <= count; ++i) {
        const double t = static_cast<double>(i) / count;
        if (!isArc) {
            points.push_back({w.start.x + t * (w.end.x - w.start.x), w.start.y + t * (w.end.y - w.start.y)});
            continue;
        }
        const double a = a0 + (w.code == IsoCode::kG03 ? 1 : -1) * t * swept;
        const double r = r0 + t * (r1 - r0);
        points.push_back({w.centre.x + r * std::cos(a), w.centre.y + r * std::sin(a)});
    }
    return points;
}

// No point of the path lies closer to the drawn contour (the leads not part of it) than the
// offset allows, except on the leads within their first millimetre from the start point.
void checkClearance(const Contour& c, double offset, const std::vector<Written>& written) {
    const double start = 0.0;  // the start point is the program's origin
    for (size_t i = 0; i < written.size(); ++i) {
        const bool lead = i == 0 || i + 1 == written.size();
        double nearest = 1e9;
        Pt where;
        for (const Pt& p : pointsAlong(written[i])) {
            if (lead && std::hypot(p.x - start, p.y - start) < 1.0) continue;
            for (size_t k = 1; k + 1 < c.drawn.size(); ++k) {
                const double d = distanceTo(c.drawn[k], p);
                if (d < nearest) {
                    nearest = d;
                    where = p;
                }
            }
        }
        EXPECT_GE(nearest, std::fabs(offset) - 0.002)
            << "element " << i << " comes too close at " << where.x << ", " << where.y;
    }
}

void checkContour(const Contour& c, double offset, CornerType corner, const std::vector<std::string>& out,
                  Seen& seen) {
    // Read the program back as the machine would: incremental whole microns from 0, 0.
    std::vector<Written> written;
    int64_t x = 0, y = 0;
    ASSERT_GE(out.size(), 3u);
    for (size_t k = 1; k + 1 < out.size(); ++k) {
        IsoStatement s;
        ASSERT_EQ(parseIsoStatement(out[k].c_str(), s), 0) << out[k];
        Written w;
        w.code = s.code;
        w.start = mm(x, y);
        w.centre = mm(x + s.i, y + s.j);
        x += s.x;
        y += s.y;
        w.end = mm(x, y);
        written.push_back(w);
    }
    EXPECT_EQ(x, 0);  // the lead-out ends exactly at the start point
    EXPECT_EQ(y, 0);
    EXPECT_NE(out.back().find("M02"), std::string::npos);

    // Entered at a corner, the leads run straight to and from the start of the closed offset
    // contour: the written elements between them match the drawn contour alone, its last
    // corner (back to the first side) included. Otherwise the leads are matched as drawn
    // elements of offset 0.
    const bool atCorner = c.entry == Entry::Corner;
    std::vector<Drawn> drawn = c.drawn;
    size_t from = 0, to = written.size();
    if (atCorner) {
        ASSERT_GE(written.size(), 4u);
        EXPECT_EQ(written.front().code, IsoCode::kG01);
        EXPECT_EQ(written.back().code, IsoCode::kG01);
        drawn = std::vector<Drawn>(c.drawn.begin() + 1, c.drawn.end() - 1);
        from = 1;
        to = written.size() - 1;
    }
    const size_t n = drawn.size();
    size_t k = 0;  // the drawn element expected next
    for (size_t i = from; i < to; ++i) {
        const Written& w = written[i];
        SCOPED_TRACE(out[i + 1]);
        const bool isArc = w.code == IsoCode::kG02 || w.code == IsoCode::kG03;
        if (isArc) {  // both ends on the circle the statement states
            EXPECT_NEAR(dist(w.start, w.centre), dist(w.end, w.centre), 2 * kTolerance);
        }
        const bool lead = !atCorner && (k == 0 || k == n - 1);
        const double c_k = lead ? 0.0 : offset;
        if (k < n && onMoved(w, drawn[k], c_k)) {
            const Drawn& d = drawn[k];
            if (!d.arc) {  // never cut backwards along a side
                EXPECT_GE((w.end.x - w.start.x) * (d.end.x - d.start.x) + (w.end.y - w.start.y) * (d.end.y - d.start.y), -1e-9);
            }
            ++k;
            continue;
        }
        // Otherwise an arc of radius |offset| at the corner between drawn elements k-1 and k
        // (at a corner entry, after the last element, the corner back to the first).
        const bool closingCorner = atCorner && k == n;
        ASSERT_TRUE(isArc && k >= 1 && (k < n || closingCorner)) << "element " << i << " matches nothing";
        if (closingCorner) ++seen.startCornerArcs;
        const Drawn& before = drawn[k - 1];
        const Drawn& after = drawn[closingCorner ? 0 : k];
        EXPECT_NEAR(dist(w.start, w.centre), std::fabs(offset), kTolerance);
        EXPECT_LT(sweep(w), kPi + 0.05);  // turning the short way round
        if (dist(w.centre, before.end) < kTolerance) {  // round the drawn corner
            ++(corner == CornerType::Round && !before.arc && !after.arc ? seen.outerRounds : seen.connections);
            continue;
        }
        // A round inner corner: tangent to both moved lines, |offset| beyond them.
        ASSERT_EQ(corner, CornerType::Round) << "connection arc off the corner";
        ASSERT_FALSE(before.arc || after.arc);
        EXPECT_NEAR(rightOf(before, w.centre), 2 * offset, 2 * kTolerance);
        EXPECT_NEAR(rightOf(after, w.centre), 2 * offset, 2 * kTolerance);
        ++seen.innerRounds;
    }
    EXPECT_EQ(k, n) << "drawn elements left without a compensated twin";
    checkClearance(c, offset, written);
}

TEST(OffsetProperty, GeneratedContoursLieBesideTheDrawing) {
    std::mt19937 rng(20261208);
    std::uniform_real_distribution<double> magnitude(0.05, 0.6);
    int runs = 0;
    Seen seen;
    for (int round = 0; round < 60; ++round) {
        for (bool concave : {false, true}) {
            for (bool clockwise : {false, true}) {
                const double offset = magnitude(rng) * (round % 2 ? -1 : 1);
                const bool outside = clockwise ? offset < 0 : offset > 0;
                const Entry entry = round % 4 < 2 ? Entry::Corner : Entry::MidSide;
                const Contour c = generate(rng, concave, clockwise, entry, outside);
                for (CornerType corner : {CornerType::Sharp, CornerType::Round}) {
                    SCOPED_TRACE(testing::Message() << "round " << round << " concave " << concave << " cw "
                                                    << clockwise << " offset " << offset << " corner "
                                                    << static_cast<int>(corner));
                    std::vector<std::string> out;
                    std::string error;
                    ASSERT_EQ(offsetProgram(c.lines, 1, 0, offset, corner, out, error), 0) << error;
                    checkContour(c, offset, corner, out, seen);
                    if (HasFailure()) {
                        for (const auto& l : c.lines) std::printf("%s\n", l.c_str());
                        std::printf("--\n");
                        for (const auto& l : out) std::printf("%s\n", l.c_str());
                    }
                    ++runs;
                    if (HasFailure()) return;
                }
            }
        }
    }
    EXPECT_EQ(runs, 480);
    // The generator reaches every kind of inserted arc, at the start corner too.
    EXPECT_GT(seen.connections, 0);
    EXPECT_GT(seen.outerRounds, 0);
    EXPECT_GT(seen.innerRounds, 0);
    EXPECT_GT(seen.startCornerArcs, 0);
}

}  // namespace
}  // namespace korvex
