// Generated closed contours of lines and arcs, convex and concave, cut either way round, offset
// either side, with sharp and round corners. The result is read back as text and measured
// against the drawn contour alone: nothing of the compensation's own arithmetic is reused.
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

struct Contour {
    std::vector<std::string> lines;
    std::vector<Drawn> drawn;  // lead-in, contour, lead-out
};

// A star of n vertices round the origin, entered from the origin; some sides are arcs.
Contour generate(std::mt19937& rng, bool concave, bool clockwise) {
    std::uniform_int_distribution<int> count(4, 10);
    std::uniform_real_distribution<double> unit(0, 1);
    const int n = count(rng);
    std::vector<std::pair<int64_t, int64_t>> v;
    for (int k = 0; k < n; ++k) {
        const double angle = (clockwise ? -1 : 1) * 2 * kPi * (k + 0.3 * unit(rng)) / n;
        const double radius = concave && k % 2 ? 6 + unit(rng) : 11 + unit(rng);
        v.emplace_back(std::llround(radius * std::cos(angle) * 1000), std::llround(radius * std::sin(angle) * 1000));
    }
    Contour c;
    char text[128];
    int number = 0;
    c.lines.push_back("N0 G92 X0.000 Y0.000;");
    auto line = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
        std::snprintf(text, sizeof text, "N%d G01 X%.3f Y%.3f;", ++number, (x1 - x0) / 1000.0, (y1 - y0) / 1000.0);
        c.lines.push_back(text);
        c.drawn.push_back({false, false, mm(x0, y0), mm(x1, y1), {}});
    };
    line(0, 0, v[0].first, v[0].second);
    for (int k = 0; k < n; ++k) {
        const auto [x0, y0] = v[static_cast<size_t>(k)];
        const auto [x1, y1] = v[static_cast<size_t>((k + 1) % n)];
        // The sides at the entry point stay straight, so the lead-in meets a line.
        if (k == 0 || k == n - 1 || unit(rng) > 0.6) {
            line(x0, y0, x1, y1);
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
    line(v[0].first, v[0].second, 0, 0);
    std::snprintf(text, sizeof text, "N%d M02;", ++number);
    c.lines.push_back(text);
    return c;
}

struct Seen { int connections = 0, outerRounds = 0, innerRounds = 0; };

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

    const size_t n = c.drawn.size();
    size_t k = 0;  // the drawn element expected next
    for (size_t i = 0; i < written.size(); ++i) {
        const Written& w = written[i];
        SCOPED_TRACE(out[i + 1]);
        const bool isArc = w.code == IsoCode::kG02 || w.code == IsoCode::kG03;
        if (isArc) {  // both ends on the circle the statement states
            EXPECT_NEAR(dist(w.start, w.centre), dist(w.end, w.centre), 2 * kTolerance);
        }
        const double c_k = k == 0 || k == n - 1 ? 0.0 : offset;
        if (k < n && onMoved(w, c.drawn[k], c_k)) {
            const Drawn& d = c.drawn[k];
            if (!d.arc) {  // never cut backwards along a side
                EXPECT_GE((w.end.x - w.start.x) * (d.end.x - d.start.x) + (w.end.y - w.start.y) * (d.end.y - d.start.y), -1e-9);
            }
            ++k;
            continue;
        }
        // Otherwise an arc of radius |offset| at the corner between drawn elements k-1 and k.
        ASSERT_TRUE(isArc && k >= 1 && k < n) << "element " << i << " matches nothing";
        const Drawn& before = c.drawn[k - 1];
        const Drawn& after = c.drawn[k];
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
}

TEST(OffsetProperty, GeneratedContoursLieBesideTheDrawing) {
    std::mt19937 rng(20261208);
    std::uniform_real_distribution<double> magnitude(0.05, 0.6);
    int runs = 0;
    Seen seen;
    for (int round = 0; round < 60; ++round) {
        for (bool concave : {false, true}) {
            for (bool clockwise : {false, true}) {
                const Contour c = generate(rng, concave, clockwise);
                const double offset = magnitude(rng) * (round % 2 ? -1 : 1);
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
    // The generator reaches every kind of inserted arc.
    EXPECT_GT(seen.connections, 0);
    EXPECT_GT(seen.outerRounds, 0);
    EXPECT_GT(seen.innerRounds, 0);
}

}  // namespace
}  // namespace korvex
